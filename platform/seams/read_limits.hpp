#pragma once
// How many bytes each kind of file the program reads may hold. A file that holds more is refused
// (FsStatus::TooLarge) before it is read, so that a huge or endless file (a padded description, a
// link to a device or to /proc) costs neither memory nor time. Every limit is far above what the
// file holds in a real installation.

#include <cstddef>

namespace zelvane {

inline constexpr std::size_t kMebibyte = std::size_t{1} << 20;

// uninstall_data.ini and its working copy: tens of lines in practice.
inline constexpr std::size_t kDescriptionLimit = 4 * kMebibyte;
// uninstall_info.rtf, and the usage guide read back after writing it.
inline constexpr std::size_t kDocumentLimit = 4 * kMebibyte;
// 2da tables: the backups of the installer, the tables in use, the copies in Backup Uninstall.
inline constexpr std::size_t kTableLimit = 64 * kMebibyte;
// dialog.tlk: only its header is read, whatever its size.
inline constexpr std::size_t kTalkTableHeaderSize = 8;
// The console's --registry file.
inline constexpr std::size_t kRegistryFileLimit = 1 * kMebibyte;
// A Wine prefix's system.reg.
inline constexpr std::size_t kWineRegistryLimit = 64 * kMebibyte;
// Steam's libraryfolders.vdf and its app manifests.
inline constexpr std::size_t kSteamFileLimit = 4 * kMebibyte;
// One line of the console's answers file, which is read a line at a time as the run asks.
inline constexpr std::size_t kAnswerLineLimit = 64 * 1024;
// The removal log read back (a dry run shows the log it would have saved).
inline constexpr std::size_t kRemovalLogLimit = 256 * kMebibyte;

}  // namespace zelvane
