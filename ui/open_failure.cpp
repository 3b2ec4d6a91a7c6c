#include "ui/open_failure.h"

#include <cerrno>
#include <cstring>

#include "ui/language.h"

namespace ui {

QString openFailureText(int osError, const QString& device) {
    // Short enough for the status line.
    switch (osError) {
        case 0:
            return {};
        case ENOENT:
        case ENODEV:
        case ENXIO:
            return tx(Tr::tr("无法打开 %1:没有这个设备,请检查端口名和HART调制解调器的连接"))
                .arg(device);
        case EACCES:
        case EPERM:
#ifdef _WIN32
            // Windows grants serial ports to every user: only a policy refuses one.
            return tx(Tr::tr("无法打开 %1:没有权限")).arg(device);
#else
            return tx(Tr::tr("无法打开 %1:没有权限。请把用户加入 dialout 组,然后重新登录"))
                .arg(device);
#endif
        case EBUSY:
            return tx(Tr::tr("无法打开 %1:串口正被其他程序占用")).arg(device);
        default:
            // Rarer reasons in the system's own words.
            return tx(Tr::tr("无法打开 %1:%2"))
                .arg(device, QString::fromLocal8Bit(std::strerror(osError)));
    }
}

}  // namespace ui
