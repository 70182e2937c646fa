// SPDX-License-Identifier: GPL-3.0-or-later
#include "vss/ShareMaker.h"

#include <new>

#include "vss/ColumnShareMaker.h"
#include "vss/PermutingShareMaker.h"
#include "vss/TableShareMaker.h"

std::unique_ptr<CShareMaker> MakeShareMaker(const Scheme& scheme, std::size_t width, std::size_t height,
                                            CRandomSource& random)
{
    const ShareGeometry geometry{width, height, scheme.promise.blockWidth, scheme.promise.blockHeight};
    try {
        if (scheme.layout == SchemeLayout::OneColumn)
            return std::make_unique<CColumnShareMaker>(scheme, ShareGeometry{width, height, 1, 1}, random);
        if (scheme.promise.subpixels <= CTableShareMaker::kMaxTabledColumns)
            return std::make_unique<CTableShareMaker>(scheme, geometry, random);
        return std::make_unique<CPermutingShareMaker>(scheme, geometry, random);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}
