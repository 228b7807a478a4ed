#include "foundation/WinVer.h"

#include <sys/utsname.h>

#include "foundation/Files.h"
#include "foundation/Numeric.h"
#include "foundation/StrUtils.h"

namespace qv {

namespace {

std::string Win95FamilyName(const TOSVersionInfoEx& info) {
  // The release letter stands in the second character of the service-pack text.
  char letter = info.ServicePack.size() > 1 ? info.ServicePack[1] : '\0';
  if (info.MajorVersion == 4 && info.MinorVersion == 0) {
    return std::string("Microsoft Windows 95") + (letter == 'B' || letter == 'C' ? " OSR2" : "");
  }
  if (info.MajorVersion == 4 && info.MinorVersion == 10) {
    return std::string("Microsoft Windows 98") + (letter == 'A' ? " SE" : "");
  }
  if (info.MajorVersion == 4 && info.MinorVersion == 90) return "Microsoft Windows Millennium Edition";
  return {};
}

std::string NTEdition(const TOSVersionInfoEx& info) {
  const bool v52 = info.MajorVersion == 5 && info.MinorVersion == 2;
  const bool v50 = info.MajorVersion == 5 && info.MinorVersion == 0;
  const bool enterprise = (info.SuiteMask & kSuiteEnterprise) != 0;
  const bool datacenter = (info.SuiteMask & kSuiteDatacenter) != 0;
  if (info.ProductType == kProductWorkstation) {
    if (info.MajorVersion == 4) return " Workstation 4.0";
    return (info.SuiteMask & kSuitePersonal) ? " Home Edition" : " Professional";
  }
  if (info.ProductType == kProductServer) {
    if (v52) {
      if (datacenter) return " Datacenter Edition";
      if (enterprise) return " Enterprise Edition";
      if (info.SuiteMask == kSuiteBlade) return " Web Edition";
      return " Standard Edition";
    }
    if (v50) {
      if (datacenter) return " Datacenter Server";
      if (enterprise) return " Advanced Server";
      return " Server";
    }
    return " Server " + IntToStr(info.MajorVersion) + "." + IntToStr(info.MinorVersion) +
           (enterprise ? ", Enterprise Edition" : "");
  }
  return {};
}

std::string NTFamilyText(const TOSVersionInfoEx& info, const TRegistryKeyExists& keyExists) {
  std::string text;
  if (info.MajorVersion == 5 && info.MinorVersion == 2) {
    text = "Microsoft Windows Server 2003";
  } else if (info.MajorVersion == 5 && info.MinorVersion == 1) {
    text = "Microsoft Windows XP";
  } else if (info.MajorVersion == 5 && info.MinorVersion == 0) {
    text = "Microsoft Windows 2000";
  } else {
    text = "Microsoft Windows NT";
  }
  if (info.Size >= kOSVersionInfoExSize) text += NTEdition(info);
  if (info.MajorVersion == 4 && SameTextAscii(info.ServicePack, "Service Pack 6") && keyExists &&
      keyExists("SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Hotfix\\Q246009")) {
    text += " Service Pack 6a";
  } else {
    text += " " + info.ServicePack;
  }
  text += " (Build " + IntToStr(info.BuildNumber & 0xFFFFu) + ")";
  return text;
}

// The value of one os-release entry, its quotes and backslash escapes removed.
std::string OSReleaseValue(std::string_view text, std::string_view key) {
  size_t pos = 0;
  while (pos <= text.size()) {
    size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    std::string line = Trim(text.substr(pos, end - pos));
    pos = end + 1;
    if (line.size() <= key.size() || line.compare(0, key.size(), key) != 0 || line[key.size()] != '=') continue;
    std::string_view raw = std::string_view(line).substr(key.size() + 1);
    std::string value;
    char quote = 0;
    if (!raw.empty() && (raw[0] == '"' || raw[0] == '\'')) {
      quote = raw[0];
      raw.remove_prefix(1);
    }
    for (size_t i = 0; i < raw.size(); ++i) {
      char c = raw[i];
      if (quote && c == quote) break;
      if (c == '\\' && quote != '\'' && i + 1 < raw.size()) c = raw[++i];
      value += c;
    }
    return value;
  }
  return {};
}

}  // namespace

std::string GetOSVersionText(const TOSVersionInfoEx& info, const TRegistryKeyExists& keyExists) {
  switch (info.PlatformId) {
    case kPlatformWin32s:
      return "Microsoft Win32s";
    case kPlatformWindows:
      return Win95FamilyName(info);
    case kPlatformNT:
      return NTFamilyText(info, keyExists);
    default:
      return {};
  }
}

bool GetOSVersionInfo(TOSVersionInfoEx& info) {
  info = TOSVersionInfoEx{};
  return false;
}

std::string GetOSVersionText() {
  TOSVersionInfoEx info;
  if (GetOSVersionInfo(info)) return GetOSVersionText(info);
  return GetOSDescription();
}

std::string FormatOSDescription(std::string_view systemName, std::string_view release,
                                std::string_view osReleaseText) {
  std::string text(systemName);
  if (!release.empty()) text += (text.empty() ? "" : " ") + std::string(release);
  std::string distribution = OSReleaseValue(osReleaseText, "PRETTY_NAME");
  if (distribution.empty()) distribution = OSReleaseValue(osReleaseText, "NAME");
  if (!distribution.empty()) text += (text.empty() ? "(" : " (") + distribution + ")";
  return text;
}

std::string GetOSDescription() {
  struct utsname names {};
  std::string systemName, release;
  if (uname(&names) == 0) {
    systemName = names.sysname;
    release = names.release;
  }
  std::string osRelease;
  for (const char* path : {"/etc/os-release", "/usr/lib/os-release"}) {
    try {
      std::vector<uint8_t> bytes = ReadWholeFile(path);
      osRelease.assign(bytes.begin(), bytes.end());
      break;
    } catch (const std::exception&) {
    }
  }
  return FormatOSDescription(systemName, release, osRelease);
}

}  // namespace qv
