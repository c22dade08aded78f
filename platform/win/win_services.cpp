#include "platform/native_os.h"
#include "platform/services.h"
#include "platform/win/registry_settings_store.h"
#include "platform/win/run_key_autostart.h"
#include "platform/win/toolhelp_process_table.h"
#include "platform/win/win_end_signals.h"
#include "platform/win/win_folder_size.h"
#include "platform/win/win_keyboard.h"
#include "platform/win/win_launcher.h"
#include "platform/win/win_own_executable.h"
#include "platform/win/win_port_listeners.h"
#include "platform/win/win_program_runner.h"
#include "platform/win/win_system_memory.h"
#include "platform/win/win_text_file_writer.h"
#include "platform/win/win_window_stacking.h"

namespace korvane {

OperatingSystem nativeOperatingSystem()
{
    return OperatingSystem::Windows;
}

OsServices createOsServices()
{
    OsServices services;
    services.settings = std::make_unique<RegistrySettingsStore>();
    services.ownExecutable = std::make_unique<WinOwnExecutable>();
    services.processes = std::make_unique<ToolhelpProcessTable>();
    services.launcher = std::make_unique<WinLauncher>();
    services.folderSize = std::make_unique<WinFolderSize>();
    services.keyboard = std::make_unique<WinKeyboard>();
    services.stacking = std::make_unique<WinWindowStacking>();
    services.textFiles = std::make_unique<WinTextFileWriter>();
    services.autostart = std::make_unique<RunKeyAutostart>(services.ownExecutable->name(), runningProgramPath());
    services.endSignals = std::make_unique<WinEndSignals>();
    services.programs = std::make_unique<WinProgramRunner>();
    services.ports = std::make_unique<WinPortListeners>();
    services.memory = std::make_unique<WinSystemMemory>();
    return services;
}

} // namespace korvane
