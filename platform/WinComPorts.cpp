#include "platform/WinComPorts.h"

#include "platform/UsbInstanceId.h"

#include <algorithm>
#include <windows.h>
// The class GUIDs are defined (not only declared) with initguid.h included first.
// clang-format off
#include <initguid.h>
#include <devguid.h>
// clang-format on
#include <setupapi.h>

namespace {

int comNumber(const QString& name) {
    return name.mid(3).toInt();
}

// The drivers' list: one value per serial device, whose data is its COM name.
QStringList registeredNames() {
    QStringList names;
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_READ,
                        &key) != ERROR_SUCCESS)
        return names;
    for (DWORD index = 0;; ++index) {
        wchar_t valueName[256];
        DWORD valueNameLength = 256;
        wchar_t data[256] = {};
        DWORD dataBytes = sizeof data - sizeof(wchar_t);
        DWORD type = 0;
        const LONG status = ::RegEnumValueW(key, index, valueName, &valueNameLength, nullptr, &type,
                                            reinterpret_cast<BYTE*>(data), &dataBytes);
        if (status == ERROR_NO_MORE_ITEMS)
            break;
        if (status == ERROR_SUCCESS && type == REG_SZ)
            names << QString::fromWCharArray(data).trimmed();
    }
    ::RegCloseKey(key);
    return names;
}

QString property(HDEVINFO devices, SP_DEVINFO_DATA& device, DWORD which) {
    wchar_t text[512] = {};
    if (!::SetupDiGetDeviceRegistryPropertyW(devices, &device, which, nullptr,
                                             reinterpret_cast<BYTE*>(text),
                                             sizeof text - sizeof(wchar_t), nullptr))
        return QString();
    return QString::fromWCharArray(text);
}

QString portName(HDEVINFO devices, SP_DEVINFO_DATA& device) {
    const HKEY key =
        ::SetupDiOpenDevRegKey(devices, &device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_READ);
    if (key == INVALID_HANDLE_VALUE)
        return QString();
    wchar_t name[256] = {};
    DWORD bytes = sizeof name - sizeof(wchar_t);
    DWORD type = 0;
    const LONG status =
        ::RegQueryValueExW(key, L"PortName", nullptr, &type, reinterpret_cast<BYTE*>(name), &bytes);
    ::RegCloseKey(key);
    return status == ERROR_SUCCESS && type == REG_SZ ? QString::fromWCharArray(name) : QString();
}

// The devices of the class "Ports" that are present, with what the system knows of each.
QList<WinComPorts::Port> classPorts() {
    QList<WinComPorts::Port> ports;
    const HDEVINFO devices =
        ::SetupDiGetClassDevsW(&GUID_DEVCLASS_PORTS, nullptr, nullptr, DIGCF_PRESENT);
    if (devices == INVALID_HANDLE_VALUE)
        return ports;
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof device;
    for (DWORD index = 0; ::SetupDiEnumDeviceInfo(devices, index, &device); ++index) {
        WinComPorts::Port port;
        port.name = portName(devices, device);
        if (!port.name.startsWith(QLatin1String("COM")))
            continue; // a printer port
        port.description = property(devices, device, SPDRP_FRIENDLYNAME);
        if (port.description.isEmpty())
            port.description = property(devices, device, SPDRP_DEVICEDESC);
        port.driver = property(devices, device, SPDRP_SERVICE);
        wchar_t instance[512] = {};
        if (::SetupDiGetDeviceInstanceIdW(devices, &device, instance, 511, nullptr)) {
            const UsbInstanceId ids = UsbInstanceId::parse(QString::fromWCharArray(instance));
            port.usb = ids.usb;
            port.serial = ids.serial;
        }
        ports << port;
    }
    ::SetupDiDestroyDeviceInfoList(devices);
    return ports;
}

} // namespace

QList<WinComPorts::Port> WinComPorts::present() {
    QList<Port> ports = classPorts();
    for (const QString& name : registeredNames()) {
        const bool known = std::any_of(ports.cbegin(), ports.cend(),
                                       [&](const Port& port) { return port.name == name; });
        if (!known && name.startsWith(QLatin1String("COM")))
            ports << Port{name, {}, {}, {}, {}};
    }
    std::sort(ports.begin(), ports.end(),
              [](const Port& a, const Port& b) { return comNumber(a.name) < comNumber(b.name); });
    return ports;
}

QStringList WinComPorts::presentNames() {
    QStringList names;
    for (const Port& port : present())
        names << port.name;
    return names;
}

WinComPorts::Port WinComPorts::find(const QString& name) {
    const QList<Port> ports = present();
    const auto found = std::find_if(ports.cbegin(), ports.cend(),
                                    [&](const Port& port) { return port.name == name; });
    return found != ports.cend() ? *found : Port{name, {}, {}, {}, {}};
}
