// The start-up window's shared properties: read and written by every other part of the program.
#pragma once

#include <QString>

#include <cstdint>

namespace bdlogic {

struct MainState {
    std::int16_t iComm = 0;          // COM port number; 0 = not yet known
    QString sDriverName;             // model name, then the registry description "Desc"
    QString sImportDir;              // where import files go; ends in the path separator after Action
    QString sMeterID;                // identification text of the connected meter
    std::int16_t iUniqueImportID = 0; // model code: 64 "BD Logic", 84 "Paradigm Link"
    std::int32_t iPatientID = 0;     // patient number from the command line
    QString sRegPath;                // sRootKey + "\modules\"
    QString sRegkey;                 // model name: the sub-key under sRegPath
    bool bSetupPending = false;      // true while the marker set-up dialog is open

    // Module-level values of the start-up code.
    QString sHostKey;                // command-line field 1, trimmed
    QString sRootKey;                // "SOFTWARE\Corvane\" + sHostKey
    QString appTitle;                // the application title; message boxes without a title of their own use it

    // The model key: where the driver's own settings lie.
    QString modelKey() const { return sRegPath + sRegkey; }
};

} // namespace bdlogic
