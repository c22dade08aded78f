#include "platform/linux/atomic_text_file_writer.h"
#include "platform/linux/ini_settings_store.h"
#include "platform/linux/linux_folder_size.h"
#include "platform/linux/linux_launcher.h"
#include "platform/linux/linux_own_executable.h"
#include "platform/linux/linux_port_listeners.h"
#include "platform/linux/linux_process_table.h"
#include "platform/linux/linux_program_runner.h"
#include "platform/linux/posix_end_signals.h"
#include "platform/linux/sysinfo_memory.h"
#include "platform/linux/x11_keyboard.h"
#include "platform/linux/x11_window_stacking.h"
#include "platform/linux/xdg_autostart.h"
#include "platform/native_os.h"
#include "platform/services.h"

namespace korvane {

OperatingSystem nativeOperatingSystem()
{
    return OperatingSystem::Linux;
}

OsServices createOsServices()
{
    auto ownExecutable = std::make_unique<LinuxOwnExecutable>();
    auto autostart
        = std::make_unique<XdgAutostart>(ownExecutable->name(), ownExecutable->folder() + "/" + ownExecutable->name());
    return {
        std::make_unique<IniSettingsStore>(),
        std::move(ownExecutable),
        std::make_unique<LinuxProcessTable>(),
        std::make_unique<LinuxLauncher>(),
        std::make_unique<LinuxFolderSize>(),
        std::make_unique<X11Keyboard>(),
        std::make_unique<X11WindowStacking>(),
        std::make_unique<AtomicTextFileWriter>(),
        std::move(autostart),
        std::make_unique<PosixEndSignals>(),
        std::make_unique<LinuxProgramRunner>(),
        std::make_unique<LinuxPortListeners>(),
        std::make_unique<SysinfoMemory>(),
    };
}

} // namespace korvane
