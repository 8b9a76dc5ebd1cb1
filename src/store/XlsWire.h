#pragma once
// What the spreadsheet reader process writes on its standard output for one
// workbook; the program reads it back in XlsWorkbook. FreeXL runs only in that
// child, so a crash or hang of the library on a damaged file costs the child,
// never the program. Plain C++ (no Qt) so the child starts in a moment.
//
// All numbers little-endian:
//   "VXLS" u8 version
//   u8 status: 0 = opened, else open failed and an i32 FreeXL code follows
//   when opened: u32 sheet count, then each name (u32 length + UTF-8 bytes),
//   then each sheet: u8 readable; when readable u32 rows, u32 columns and
//   rows x columns cells, row by row
//   cell: u8 type, then nothing (empty), i32 (whole number), 8-byte IEEE
//   double, or u32 length + UTF-8 bytes (text)
//   "END!" closes a complete answer: a child that died halfway has none.
#include <cstdint>
#include <string>

namespace XlsWire {

inline constexpr char kMagic[] = "VXLS";
inline constexpr std::uint8_t kVersion = 1;
inline constexpr char kEnd[] = "END!";

enum class Status : std::uint8_t { Opened = 0, OpenFailed = 1 };
enum class Cell : std::uint8_t { Empty = 0, Int = 1, Double = 2, Text = 3 };
// The code sent when FreeXL gave no workbook and no reason (FreeXL's own
// codes are 0 or negative).
inline constexpr std::int32_t kGaveUp = 1;

// BIFF8 holds at most 65,536 rows of 256 columns in a sheet; anything larger
// in the answer is garbage.
inline constexpr std::uint32_t kMaxRows = 65536;
inline constexpr std::uint32_t kMaxColumns = 256;
inline constexpr std::uint32_t kMaxSheets = 65535;
// The most the program takes from the child: a damaged workbook whose cells
// all point at one long shared string could otherwise spell out gigabytes.
inline constexpr std::uint64_t kMaxAnswerBytes = 256ull << 20;

// The answer for the workbook at path (the whole of what the child writes).
// A workbook whose answer would exceed kMaxAnswerBytes gets a cut one, which
// the reader refuses.
std::string readWorkbook(const char *path);

} // namespace XlsWire
