// Serial ports on Windows: the registry's map of the ports present, each with the device
// manager's name for it where there is one ("USB Serial Port (COM5)").

#include <windows.h>
// After windows.h:
#include <devguid.h>
#include <setupapi.h>

#include <algorithm>
#include <map>

#include "link/port_backend.h"
#include "link/ports.h"

namespace serial {

namespace {

std::string narrow(const wchar_t* text, size_t length) {
    if (length == 0) return {};
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), nullptr, 0,
                                        nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), out.data(), n, nullptr,
                          nullptr);
    return out;
}

// "COMn" by the port's device manager name.
std::map<std::string, std::string> friendlyNames() {
    std::map<std::string, std::string> names;
    const HDEVINFO set =
        ::SetupDiGetClassDevsW(&GUID_DEVCLASS_PORTS, nullptr, nullptr, DIGCF_PRESENT);
    if (set == INVALID_HANDLE_VALUE) return names;
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof device;
    for (DWORD i = 0; ::SetupDiEnumDeviceInfo(set, i, &device); ++i) {
        const HKEY key =
            ::SetupDiOpenDevRegKey(set, &device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_READ);
        if (key == INVALID_HANDLE_VALUE) continue;
        wchar_t port[64] = {};
        DWORD size = sizeof port - sizeof(wchar_t);
        const bool named =
            ::RegQueryValueExW(key, L"PortName", nullptr, nullptr, reinterpret_cast<BYTE*>(port),
                               &size) == ERROR_SUCCESS;
        ::RegCloseKey(key);
        wchar_t friendly[256] = {};
        if (named &&
            ::SetupDiGetDeviceRegistryPropertyW(set, &device, SPDRP_FRIENDLYNAME, nullptr,
                                                reinterpret_cast<BYTE*>(friendly),
                                                sizeof friendly - sizeof(wchar_t), nullptr)) {
            names[narrow(port, wcslen(port))] = narrow(friendly, wcslen(friendly));
        }
    }
    ::SetupDiDestroyDeviceInfoList(set);
    return names;
}

}  // namespace

std::string commDevicePath(std::string_view name) {
    // COM10 and up open only through the device namespace, so every COMn goes there.
    if (const auto n = comNumber(name)) return "\\\\.\\COM" + std::to_string(*n);
    return std::string(name);
}

std::vector<PortInfo> listPorts() {
    std::vector<PortInfo> ports;
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_READ,
                        &key) != ERROR_SUCCESS) {
        return ports;
    }
    const std::map<std::string, std::string> friendly = friendlyNames();
    for (DWORD i = 0;; ++i) {
        // Value name: the driver's device ("\Device\Serial0"); data: the port ("COM1").
        wchar_t device[256] = {};
        wchar_t port[64] = {};
        DWORD deviceLength = 255;
        DWORD portSize = sizeof port - sizeof(wchar_t);
        DWORD type = 0;
        const LONG rc = ::RegEnumValueW(key, i, device, &deviceLength, nullptr, &type,
                                        reinterpret_cast<BYTE*>(port), &portSize);
        if (rc == ERROR_NO_MORE_ITEMS) break;
        if (rc != ERROR_SUCCESS || type != REG_SZ) continue;
        const std::string name = narrow(port, wcslen(port));
        const auto f = friendly.find(name);
        ports.push_back({name, f != friendly.end() ? f->second : narrow(device, deviceLength)});
    }
    ::RegCloseKey(key);
    // COM2 before COM10.
    std::sort(ports.begin(), ports.end(), [](const PortInfo& a, const PortInfo& b) {
        const auto na = comNumber(a.name), nb = comNumber(b.name);
        if (na && nb) return *na < *nb;
        return a.name < b.name;
    });
    return ports;
}

}  // namespace serial
