// SPDX-License-Identifier: GPL-3.0-or-later
#include "studio/OutChoice.h"

#include <string_view>

#include "studio/ShareSet.h"

namespace {
// BASE-Stack-1-3-5 or BASE-Xor-1-3-5 for the shares at those places in the list, BASE the first
// share's name without its -ShadowN.
std::string StackName(const CShareSet& shares, const std::vector<int>& checked)
{
    std::string name = shares.GetPath(checked.front()).stem().string();
    const std::size_t shadow = name.rfind("-Shadow");
    const std::size_t digits = shadow == std::string::npos ? 0 : shadow + std::string_view("-Shadow").size();
    if (digits > 0 && digits < name.size() && name.find_first_not_of("0123456789", digits) == std::string::npos)
        name.erase(shadow);
    name += shares.GetMode() == StackMode::stack ? "-Stack" : "-Xor";
    for (int i : checked) {
        name += '-';
        name += std::to_string(i + 1);
    }
    return name;
}
}  // namespace

std::vector<OutItem> ChooseOutItems(const CShareSet& shares, OutChoice choice)
{
    std::vector<OutItem> items;
    const std::vector<int> checked = shares.GetChecked();
    switch (choice) {
    case OutChoice::all:
        for (int i = 0; i < shares.GetCount(); ++i)
            items.push_back(ShareItem(shares.GetPath(i)));
        break;
    case OutChoice::checked:
        for (int i : checked)
            items.push_back(ShareItem(shares.GetPath(i)));
        break;
    case OutChoice::stack:
        if (checked.size() < 2)
            break;
        items.push_back({{}, shares.GetMode(), StackName(shares, checked)});
        for (int i : checked)
            items.back().layers.push_back({shares.GetPath(i), shares.GetOffset(i)});
        break;
    }
    return items;
}

QImage OutItemFrame(const CShareSet& shares, OutChoice choice, int page)
{
    switch (choice) {
    case OutChoice::all:
        return shares.GetFrame(page);
    case OutChoice::checked:
        return shares.GetFrame(shares.GetChecked().at(static_cast<std::size_t>(page)));
    case OutChoice::stack:
        return shares.Reveal();
    }
    return {};
}
