// The two ways the program speaks to its user outside its windows' captions: message boxes and the status line.
#pragma once

#include <QString>

namespace bdlogic {

enum class MessageIcon { None, Information, Critical };

class MessageBox {
public:
    virtual ~MessageBox() = default;
    // Shows the text with an OK button and returns when the user closed it. An empty title means the application
    // title.
    virtual void show(const QString& text, const QString& title, MessageIcon icon) = 0;
};

class StatusLine {
public:
    virtual ~StatusLine() = default;
    // Puts the text into the status label and repaints it at once.
    virtual void showStep(const QString& text) = 0;
};

} // namespace bdlogic
