// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/NumberedName.h"

#include <cctype>

std::optional<CNumberedName> CNumberedName::Parse(const std::string& pattern)
{
    CNumberedName name;
    std::string* text = &name.m_prefix;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] != '%') {
            *text += pattern[i];
            continue;
        }
        if (++i < pattern.size() && pattern[i] == '%') {
            *text += '%';
            continue;
        }
        if (name.m_hasField)
            return std::nullopt;
        name.m_zeroPad = i < pattern.size() && pattern[i] == '0';
        for (; i < pattern.size() && std::isdigit(static_cast<unsigned char>(pattern[i])); ++i)
            name.m_width = std::min(name.m_width * 10 + (pattern[i] - '0'), 99);
        if (i >= pattern.size() || pattern[i] != 'd')
            return std::nullopt;
        name.m_hasField = true;
        text = &name.m_suffix;
    }
    return name;
}

std::string CNumberedName::Fill(int number) const
{
    if (!m_hasField)
        return m_prefix;
    std::string digits = std::to_string(number);
    if (static_cast<int>(digits.size()) < m_width)
        digits.insert(0, static_cast<std::size_t>(m_width) - digits.size(), m_zeroPad ? '0' : ' ');
    return m_prefix + digits + m_suffix;
}
