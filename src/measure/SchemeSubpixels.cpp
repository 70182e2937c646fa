// SPDX-License-Identifier: GPL-3.0-or-later
#include "measure/SchemeSubpixels.h"

#include "vss/SchemeCatalogue.h"

SchemeSubpixels FindSchemeSubpixels(BlockShape block, int usedCells)
{
    if (block.Subpixels() == 1)
        return {1, "one subpixel a pixel"};
    std::optional<SchemeSubpixels> best;
    for (const SchemeChoice& choice : OfferedSchemes()) {
        const auto scheme = LookUpScheme(choice, nullptr);
        if (!scheme || scheme->layout != SchemeLayout::PermutedBlock)
            continue;
        const SchemePromise& p = scheme->promise;
        if (p.blockWidth != block.width || p.blockHeight != block.height || p.subpixels < usedCells ||
            (best && best->subpixels <= p.subpixels))
            continue;
        best = SchemeSubpixels{p.subpixels, "the catalogue's schemes of " + std::to_string(block.width) + " x " +
                                                std::to_string(block.height) + " blocks"};
    }
    if (best)
        return *best;
    if (usedCells == 0 || usedCells == block.Subpixels())
        return {block.Subpixels(), "the whole block"};
    return {usedCells, "the cells the shares use"};
}
