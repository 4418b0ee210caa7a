// Messages and status lines as lines of text on a stream: batch mode's stand-in for message boxes and labels.
#pragma once

#include "user_notice.h"

#include <cstdio>

namespace bdlogic {

// One line per text; line breaks inside a text become " / ".
QString OneLine(const QString& text);

class StreamMessageBox : public MessageBox {
public:
    explicit StreamMessageBox(std::FILE* stream) : stream_(stream) {}
    void show(const QString& text, const QString& title, MessageIcon icon) override;

private:
    std::FILE* stream_;
};

class StreamStatusLine : public StatusLine {
public:
    explicit StreamStatusLine(std::FILE* stream) : stream_(stream) {}
    // Repeated identical texts (the same status shown twice in a row) are printed once.
    void showStep(const QString& text) override;

private:
    std::FILE* stream_;
    QString last_;
};

} // namespace bdlogic
