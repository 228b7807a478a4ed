#include <gtest/gtest.h>

#include <algorithm>

#include "foundation/CPUInfo.h"
#include "foundation/WinVer.h"

using namespace qv;

namespace {

TOSVersionInfoEx NT(uint32_t major, uint32_t minor, uint8_t product, uint16_t suites, const std::string& sp,
                    uint32_t build) {
  TOSVersionInfoEx info;
  info.Size = kOSVersionInfoExSize;
  info.PlatformId = kPlatformNT;
  info.MajorVersion = major;
  info.MinorVersion = minor;
  info.ProductType = product;
  info.SuiteMask = suites;
  info.ServicePack = sp;
  info.BuildNumber = build;
  return info;
}

TOSVersionInfoEx Win9x(uint32_t minor, const std::string& sp) {
  TOSVersionInfoEx info;
  info.Size = kOSVersionInfoExSize;
  info.PlatformId = kPlatformWindows;
  info.MajorVersion = 4;
  info.MinorVersion = minor;
  info.ServicePack = sp;
  return info;
}

}  // namespace

TEST(OSVersionText, WorkstationsAndNames) {
  EXPECT_EQ(GetOSVersionText(NT(5, 1, kProductWorkstation, kSuitePersonal, "Service Pack 2", 2600)),
            "Microsoft Windows XP Home Edition Service Pack 2 (Build 2600)");
  EXPECT_EQ(GetOSVersionText(NT(5, 1, kProductWorkstation, 0, "Service Pack 3", 2600)),
            "Microsoft Windows XP Professional Service Pack 3 (Build 2600)");
  // Later versions are all named NT.
  EXPECT_EQ(GetOSVersionText(NT(6, 0, kProductWorkstation, 0, "", 6000)),
            "Microsoft Windows NT Professional  (Build 6000)");
  EXPECT_EQ(GetOSVersionText(NT(4, 0, kProductWorkstation, 0, "Service Pack 5", 1381)),
            "Microsoft Windows NT Workstation 4.0 Service Pack 5 (Build 1381)");
  // Only the low 16 bits of the build number count.
  EXPECT_EQ(GetOSVersionText(NT(5, 0, 2, 0, "", 0x05000893)), "Microsoft Windows 2000  (Build 2195)");
}

TEST(OSVersionText, ServerEditions) {
  EXPECT_EQ(GetOSVersionText(NT(5, 0, kProductServer, 0, "", 2195)), "Microsoft Windows 2000 Server  (Build 2195)");
  EXPECT_EQ(GetOSVersionText(NT(5, 0, kProductServer, kSuiteEnterprise, "", 2195)),
            "Microsoft Windows 2000 Advanced Server  (Build 2195)");
  EXPECT_EQ(GetOSVersionText(NT(5, 0, kProductServer, kSuiteDatacenter | kSuiteEnterprise, "", 2195)),
            "Microsoft Windows 2000 Datacenter Server  (Build 2195)");
  EXPECT_EQ(GetOSVersionText(NT(5, 2, kProductServer, kSuiteDatacenter, "", 3790)),
            "Microsoft Windows Server 2003 Datacenter Edition  (Build 3790)");
  EXPECT_EQ(GetOSVersionText(NT(5, 2, kProductServer, kSuiteEnterprise, "", 3790)),
            "Microsoft Windows Server 2003 Enterprise Edition  (Build 3790)");
  EXPECT_EQ(GetOSVersionText(NT(5, 2, kProductServer, kSuiteBlade, "", 3790)),
            "Microsoft Windows Server 2003 Web Edition  (Build 3790)");
  // The web edition needs that bit alone.
  EXPECT_EQ(GetOSVersionText(NT(5, 2, kProductServer, kSuiteBlade | 0x0010, "", 3790)),
            "Microsoft Windows Server 2003 Standard Edition  (Build 3790)");
  EXPECT_EQ(GetOSVersionText(NT(6, 1, kProductServer, kSuiteEnterprise, "Service Pack 1", 7601)),
            "Microsoft Windows NT Server 6.1, Enterprise Edition Service Pack 1 (Build 7601)");
  EXPECT_EQ(GetOSVersionText(NT(4, 0, kProductServer, 0, "", 1381)),
            "Microsoft Windows NT Server 4.0  (Build 1381)");
}

TEST(OSVersionText, ShortRecordHasNoEdition) {
  TOSVersionInfoEx info = NT(5, 1, kProductWorkstation, kSuitePersonal, "Service Pack 1", 2600);
  info.Size = kOSVersionInfoSize;
  EXPECT_EQ(GetOSVersionText(info), "Microsoft Windows XP Service Pack 1 (Build 2600)");
}

TEST(OSVersionText, ServicePack6aNeedsTheHotfixKey) {
  std::string asked;
  auto present = [&](std::string_view key) {
    asked = key;
    return true;
  };
  auto absent = [](std::string_view) { return false; };
  TOSVersionInfoEx info = NT(4, 0, kProductWorkstation, 0, "service pack 6", 1381);
  EXPECT_EQ(GetOSVersionText(info, present), "Microsoft Windows NT Workstation 4.0 Service Pack 6a (Build 1381)");
  EXPECT_EQ(asked, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Hotfix\\Q246009");
  EXPECT_EQ(GetOSVersionText(info, absent), "Microsoft Windows NT Workstation 4.0 service pack 6 (Build 1381)");
  EXPECT_EQ(GetOSVersionText(info), "Microsoft Windows NT Workstation 4.0 service pack 6 (Build 1381)");
  // Only version 4 knows the "a" release.
  EXPECT_EQ(GetOSVersionText(NT(5, 0, kProductWorkstation, 0, "Service Pack 6", 2195), present),
            "Microsoft Windows 2000 Professional Service Pack 6 (Build 2195)");
}

TEST(OSVersionText, OtherPlatforms) {
  TOSVersionInfoEx info;
  info.PlatformId = kPlatformWin32s;
  EXPECT_EQ(GetOSVersionText(info), "Microsoft Win32s");
  info.PlatformId = 3;
  EXPECT_EQ(GetOSVersionText(info), "");

  EXPECT_EQ(GetOSVersionText(Win9x(0, " A")), "Microsoft Windows 95");
  EXPECT_EQ(GetOSVersionText(Win9x(0, " B")), "Microsoft Windows 95 OSR2");
  EXPECT_EQ(GetOSVersionText(Win9x(0, " C")), "Microsoft Windows 95 OSR2");
  EXPECT_EQ(GetOSVersionText(Win9x(10, "")), "Microsoft Windows 98");
  EXPECT_EQ(GetOSVersionText(Win9x(10, " A ")), "Microsoft Windows 98 SE");
  EXPECT_EQ(GetOSVersionText(Win9x(90, " A")), "Microsoft Windows Millennium Edition");
  EXPECT_EQ(GetOSVersionText(Win9x(20, "")), "");
}

TEST(OSDescription, BuiltFromKernelAndOsRelease) {
  const char* debian =
      "PRETTY_NAME=\"Debian GNU/Linux 12 (bookworm)\"\n"
      "NAME=\"Debian GNU/Linux\"\n"
      "VERSION_ID=\"12\"\n";
  EXPECT_EQ(FormatOSDescription("Linux", "6.1.0", debian), "Linux 6.1.0 (Debian GNU/Linux 12 (bookworm))");
  EXPECT_EQ(FormatOSDescription("Linux", "6.1.0", "NAME=Plain\n# PRETTY_NAME=\"no\"\n"), "Linux 6.1.0 (Plain)");
  EXPECT_EQ(FormatOSDescription("Linux", "5.4", "X_PRETTY_NAME=\"wrong\"\r\nPRETTY_NAME='Arch Linux'\r\n"),
            "Linux 5.4 (Arch Linux)");
  EXPECT_EQ(FormatOSDescription("Linux", "5.4", "NAME=\"A \\\"B\\\"\""), "Linux 5.4 (A \"B\")");
  EXPECT_EQ(FormatOSDescription("Linux", "5.4", ""), "Linux 5.4");
  EXPECT_EQ(FormatOSDescription("", "", ""), "");

  TOSVersionInfoEx info;
  info.Size = 99;
  EXPECT_FALSE(GetOSVersionInfo(info));
  EXPECT_EQ(info.Size, 0u);
  std::string line = GetOSVersionText();
  EXPECT_FALSE(line.empty());
  EXPECT_EQ(line, GetOSDescription());
  EXPECT_EQ(line.find('\0'), std::string::npos);
  EXPECT_EQ(line.find('\n'), std::string::npos);
}

TEST(CPUName, BrandLeaves) {
  // Four characters per register, the first in the low byte.
  std::array<uint32_t, 12> regs{};
  const std::string brand = "  Quorvane Test CPU @ 2.00GHz";
  for (size_t i = 0; i < brand.size(); ++i) regs[i / 4] |= uint32_t(uint8_t(brand[i])) << (8 * (i % 4));
  EXPECT_EQ(CPUNameFromLeaves(0x80000004u, regs), brand);  // leading blanks stay
  EXPECT_EQ(CPUNameFromLeaves(0x80000003u, regs), "");     // no brand leaves
  EXPECT_EQ(CPUNameFromLeaves(0, regs), "");

  std::array<uint32_t, 12> full;
  full.fill(0x41414141u);
  EXPECT_EQ(CPUNameFromLeaves(0x80000008u, full), std::string(48, 'A'));

  std::string name = GetCPUName();
  EXPECT_LE(name.size(), 48u);
  EXPECT_EQ(name.find('\0'), std::string::npos);
#if defined(__x86_64__)
  EXPECT_TRUE(IsCPUIDAvailable());
#endif
  EXPECT_GE(GetProcessorCount(), 1);
  EXPECT_GT(GetPhysicalMemoryMB(), 0);
}
