// The operating-system text of the start-up log. The text table works on a
// version record as the old desktop system reports it; this platform has no
// such record, so the log's line is made from the kernel name and release and
// the distribution's os-release file instead.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace qv {

// Size field values of the extended record and of its short form.
constexpr uint32_t kOSVersionInfoExSize = 156;
constexpr uint32_t kOSVersionInfoSize = 148;

constexpr uint32_t kPlatformWin32s = 0;
constexpr uint32_t kPlatformWindows = 1;  // the Windows 95 family
constexpr uint32_t kPlatformNT = 2;

constexpr uint8_t kProductWorkstation = 1;
constexpr uint8_t kProductServer = 3;

constexpr uint16_t kSuiteEnterprise = 0x0002;
constexpr uint16_t kSuiteDatacenter = 0x0080;
constexpr uint16_t kSuitePersonal = 0x0200;
constexpr uint16_t kSuiteBlade = 0x0400;

struct TOSVersionInfoEx {
  uint32_t Size = 0;  // kOSVersionInfoExSize, kOSVersionInfoSize, or 0 when unknown
  uint32_t MajorVersion = 0;
  uint32_t MinorVersion = 0;
  uint32_t BuildNumber = 0;
  uint32_t PlatformId = 0;
  std::string ServicePack;  // up to 128 characters
  uint16_t ServicePackMajor = 0;
  uint16_t ServicePackMinor = 0;
  uint16_t SuiteMask = 0;
  uint8_t ProductType = 0;
  uint8_t Reserved = 0;
};

// Whether a key under the local machine's registry root exists.
using TRegistryKeyExists = std::function<bool(std::string_view key)>;

// The operating-system text of a version record, for example
// "Microsoft Windows XP Home Edition Service Pack 2 (Build 2600)". The key
// test decides "Service Pack 6a" on version 4; without it the key counts as absent.
std::string GetOSVersionText(const TOSVersionInfoEx& info, const TRegistryKeyExists& keyExists = nullptr);

// Fills the record from the system; false (and Size 0) when the system gives
// no such record, as on this platform.
bool GetOSVersionInfo(TOSVersionInfoEx& info);

// The log's operating-system text: the version-record text when there is a
// record, else the line made by GetOSDescription.
std::string GetOSVersionText();

// "Linux 6.1.0 (Debian GNU/Linux 12 (bookworm))": kernel name and release
// with the distribution's pretty name in brackets when there is one.
std::string FormatOSDescription(std::string_view systemName, std::string_view release,
                                std::string_view osReleaseText);
// The same for the running system (uname and /etc/os-release or
// /usr/lib/os-release).
std::string GetOSDescription();

}  // namespace qv
