// SPDX-License-Identifier: GPL-3.0-or-later
#include "shares/SchemeShares.h"

#include "stream/StreamFiles.h"
#include "io/Message.h"
#include "stream/StreamFileReader.h"
#include "vss/ClassicShareMaker.h"
#include "vss/RandomSource.h"
#include "vss/ShareMaker.h"
#include "vss/VssMessages.h"

using namespace vss_messages;

CSchemeShares::CSchemeShares() = default;
CSchemeShares::~CSchemeShares() = default;

namespace {
bool IsClassic(const Scheme& scheme)
{
    return scheme.choice == SchemeChoice{SchemeFamily::NaorShamir, 2, 2, 0};
}
}  // namespace

bool CSchemeShares::Prepare(const Scheme& scheme, const KvtHeader& secret, SeedChoice& seed)
{
    if (!InitializeShareHeader(secret, scheme.promise.blockWidth, scheme.promise.blockHeight, m_shareHeader))
        return false;
    const auto w = static_cast<std::size_t>(secret.width), h = static_cast<std::size_t>(secret.height);
    if (IsClassic(scheme)) {
        m_maker = std::make_unique<CClassicShareMaker>(w, h, *seed.source);
    } else {
        if (!(m_random = MakeRandomSource(seed)))
            return false;
        m_maker = MakeShareMaker(scheme, w, h, *m_random);
    }
    if (!m_maker) {
        ShowMessage(kShadowsNoMemory1);
        return false;
    }
    if (!(m_secret = AllocateFrame(secret.FrameBytes(), kNotEnoughMemory)))
        return false;
    for (int i = 0; i < scheme.choice.n; ++i) {
        FrameBuffer share = AllocateFrame(m_shareHeader.FrameBytes(), i == 0 ? kShadowsNoMemory1 : kShadowsNoMemory2);
        if (!share)
            return false;
        m_sharePointers.push_back(share.get());
        m_shares.push_back(std::move(share));
    }
    return true;
}

bool CSchemeShares::MakeNext(CStreamFileReader& secret)
{
    if (!secret.ReadFrame(m_secret.get()))
        return false;
    if (m_maker->Make(m_secret.get(), m_sharePointers.data()))
        return true;
    ShowMessage(kShadowsNoPatterns);
    return false;
}
