// The world as the program's logic sees it: registry, language library, waiting, messages, status line, and
// where the program lives. Windows and batch mode hand one of these to the logic; tests hand fakes.
#pragma once

#include "event_pump.h"
#include "language.h"
#include "main_state.h"
#include "registry/registry.h"
#include "user_notice.h"

#include <QDir>
#include <QString>

#include <memory>

namespace bdlogic {

struct Services {
    Registry& registry;
    EventPump& pump;
    MessageBox& messages;
    StatusLine& status;
    MainState& state;
    QString programDir;  // directory of the running executable, without trailing separator
    QString programName; // file name of the executable without extension
    std::unique_ptr<Language> language; // created once at start-up; null when no library could be created

    const Language* texts() const { return language.get(); }
};

// The platform's path separator, which sImportDir ends in.
inline QChar PathSeparator() { return QDir::separator(); }

} // namespace bdlogic
