// The host's column arithmetic: how a panel mode's width list divides the
// panel's width, and how numbers and dates are fitted into a column.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace farhost {

// Widths of count columns that share available characters. Each width is a
// number, "N%" (a share of available), or 0/empty: such columns share what
// the others leave, the first of them taking the odd characters.
std::vector<int> layoutColumnWidths(const std::vector<std::string>& widthTexts, size_t count, int available);
// The same for columns of these types, as the host lays them out: a width of
// 0 first takes the type's own width (sizes 6, dates 8, times 5, attributes
// 6, full dates 14, links 3); only names, descriptions, owners and custom
// columns share what the others leave.
std::vector<int> layoutColumnWidths(const std::vector<std::string>& widthTexts, const std::vector<std::string>& types,
                                    int available);
// The width the host gives a column type whose width is 0 (0: it shares).
int defaultColumnWidth(const std::string& type);

// Cell fitting: cut to width, padded with blanks.
std::string fitLeft(const std::string& s, int width);
std::string fitRight(const std::string& s, int width);
std::string fitCenter(const std::string& s, int width);

// A size right-aligned in width: with thousands separators when asked and
// when they fit, else plain digits, else in K, M or G units.
std::string formatSize(unsigned long long value, bool separators, int width);
std::string withThousands(unsigned long long value);

// Local date "dd.mm.yy" and time "hh:mm" of a file time; "" for a zero time.
std::string formatDate(const FILETIME& ft);
std::string formatTime(const FILETIME& ft);

// The host's own title for a column type ("N" -> "Name", "S" -> "Size" ...).
std::string defaultColumnTitle(const std::string& type);

}  // namespace farhost
