// The document writer's line table: each embedded document is held as a table of 1001 slots,
// its lines from slot 0 and then the end marker, and written whole, CR LF after every line.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace scenario {

inline constexpr std::string_view marcatore_fine = "riferimento fine del file";
inline constexpr std::size_t slot_tabella = 1001;

// A line table: the document's lines from slot 0, then the end marker; at most 1000 lines.
using TabellaRighe = std::vector<std::string_view>;
[[nodiscard]] std::optional<TabellaRighe> tabella_righe(std::span<const std::string_view> righe);

// The bytes written for a line table: every slot up to the end marker (an exact, whole,
// case-sensitive match), each followed by CR LF.
[[nodiscard]] std::string testo_documento(const TabellaRighe& tabella);

}  // namespace scenario
