// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A file name with one printf-style number field, "frame-%04d.png", filled in per frame. "%%" is
// a percent sign; a name without a field names a single file.

#include <optional>
#include <string>

class CNumberedName {
public:
    // Nothing when the name holds more than one field, or a field other than %d, %Nd or %0Nd.
    static std::optional<CNumberedName> Parse(const std::string& pattern);

    bool HasField() const { return m_hasField; }
    std::string Fill(int number) const;

private:
    std::string m_prefix;
    std::string m_suffix;
    bool m_hasField = false;
    bool m_zeroPad = false;
    int m_width = 0;
};
