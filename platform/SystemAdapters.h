#pragma once

#include <QtGlobal>

// The adapters of the system the tool is built for: its serial port and its per-user settings.
#ifdef Q_OS_WIN
#include "platform/RegistrySettingsStore.h"
#include "platform/WinSerialPort.h"
using SystemSerialPort = WinSerialPort;
using UserSettingsStore = RegistrySettingsStore;
#else
#include "platform/IniSettingsStore.h"
#include "platform/TtySerialPort.h"
using SystemSerialPort = TtySerialPort;
using UserSettingsStore = IniSettingsStore;
#endif
