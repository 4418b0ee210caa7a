#include "driver_version.h"

#include <QByteArray>

#define BDLOGIC_TEXT_OF(x) #x
#define BDLOGIC_TEXT(x) BDLOGIC_TEXT_OF(x)

namespace bdlogic {

namespace {
// The parts arrive as written in CMake; reading their text as decimal keeps "0043" at 43 instead of octal 35.
QString Part(const char* text) {
    return QString::number(QByteArray(text).toLongLong(nullptr, 10));
}
} // namespace

QString DriverVersion() {
    return Part(BDLOGIC_TEXT(BDLOGIC_VERSION_MAJOR)) + u'.' + Part(BDLOGIC_TEXT(BDLOGIC_VERSION_MINOR)) +
           u'.' + Part(BDLOGIC_TEXT(BDLOGIC_VERSION_PATCH));
}

} // namespace bdlogic
