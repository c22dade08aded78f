#pragma once

#include "platform/autostart.h"
#include "platform/end_signals.h"
#include "platform/file_dialogs.h"
#include "platform/folder_size.h"
#include "platform/keep_awake.h"
#include "platform/keyboard.h"
#include "platform/launcher.h"
#include "platform/notices.h"
#include "platform/own_executable.h"
#include "platform/port_listeners.h"
#include "platform/process_table.h"
#include "platform/program_runner.h"
#include "platform/settings_store.h"
#include "platform/shutdown_guard.h"
#include "platform/system_memory.h"
#include "platform/system_tray.h"
#include "platform/text_file_writer.h"
#include "platform/window_stacking.h"

#include <memory>

namespace korvane {

// Everything the windows need of the operating system, handed to them by reference.
struct Services
{
    SettingsStore& settings;
    OwnExecutable& ownExecutable;
    ProcessTable& processes;
    Launcher& launcher;
    FolderSize& folderSize;
    Keyboard& keyboard;
    WindowStacking& stacking;
    FileDialogs& fileDialogs;
    TextFileWriter& textFiles;
    KeepAwake& keepAwake;
    Notices& notices;
    Autostart& autostart;
    ProgramRunner& programs;
    ShutdownGuard& shutdownGuard;
    SystemTray& tray;
    PortListeners& ports;
    SystemMemory& memory;
};

// The operating system's own implementations of every service but the file dialogs, the
// keep-awake, the notices, the shutdown guard and the tray, which come through the GUI toolkit.
struct OsServices
{
    std::unique_ptr<SettingsStore> settings;
    std::unique_ptr<OwnExecutable> ownExecutable;
    std::unique_ptr<ProcessTable> processes;
    std::unique_ptr<Launcher> launcher;
    std::unique_ptr<FolderSize> folderSize;
    std::unique_ptr<Keyboard> keyboard;
    std::unique_ptr<WindowStacking> stacking;
    std::unique_ptr<TextFileWriter> textFiles;
    std::unique_ptr<Autostart> autostart;
    std::unique_ptr<EndSignals> endSignals; // for the program itself, not its windows
    std::unique_ptr<ProgramRunner> programs;
    std::unique_ptr<PortListeners> ports;
    std::unique_ptr<SystemMemory> memory;
};

// Defined once per operating system.
OsServices createOsServices();

} // namespace korvane
