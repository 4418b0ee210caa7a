#include "device_permission.h"

#ifndef _WIN32
#include <QFile>

#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>
#endif

namespace bdlogic {

#ifdef _WIN32
std::optional<PermissionRefusal> CheckPermission(const QString&) { return std::nullopt; }
#else
std::optional<PermissionRefusal> CheckPermission(const QString& device) {
    const QByteArray path = QFile::encodeName(device);
    if (path.isEmpty() || ::access(path.constData(), R_OK | W_OK) == 0 || errno != EACCES) return std::nullopt;
    // Joining the group helps only when the group may read and write; never advise joining root's.
    struct stat st {};
    if (::stat(path.constData(), &st) != 0 || (st.st_mode & (S_IRGRP | S_IWGRP)) != (S_IRGRP | S_IWGRP) ||
        st.st_gid == 0)
        return std::nullopt;
    PermissionRefusal refusal{device, QString::number(st.st_gid)};
    std::vector<char> buffer(16384);
    group entry {};
    group* found = nullptr;
    if (::getgrgid_r(st.st_gid, &entry, buffer.data(), buffer.size(), &found) == 0 && found && found->gr_name)
        refusal.group = QString::fromLocal8Bit(found->gr_name);
    return refusal;
}
#endif

} // namespace bdlogic
