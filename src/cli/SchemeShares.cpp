#include "cli/SchemeShares.h"

#include <climits>

#include "cli/StreamFiles.h"
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

bool CSchemeShares::Prepare(const Scheme& scheme, const CImageStream& secret, SeedChoice& seed)
{
    const long long width = secret.GetWidth(), height = secret.GetHeight();
    const int bw = scheme.promise.blockWidth, bh = scheme.promise.blockHeight;
    // Rows are padded to whole words, so a width must leave room for its padding.
    if (width < 0 || height < 0 || width * bw > INT_MAX - 3 || height * bh > INT_MAX) {
        ShowMessage(kShadowsNoMemory1);
        return false;
    }
    m_shareHeader.Initialize(static_cast<int>(width * bw), static_cast<int>(height * bh), secret.GetFrameCount());
    if (secret.GetFrameCount() == 0) {
        ShowMessage(kShadowsNoImages);
        return false;
    }
    const auto w = static_cast<std::size_t>(width), h = static_cast<std::size_t>(height);
    if (IsClassic(scheme)) {
        m_maker = std::make_unique<CClassicShareMaker>(w, h, *seed.source);
    } else {
        m_random = seed.seed ? CChaChaRandomSource::FromSeed(*seed.seed) : CChaChaRandomSource::FromSystem();
        if (!m_random) {
            ShowMessage(kShadowsNoPatterns);
            return false;
        }
        m_maker = MakeShareMaker(scheme, w, h, *m_random);
    }
    if (!m_maker) {
        ShowMessage(kShadowsNoMemory1);
        return false;
    }
    if (!(m_secret = AllocateFrame(secret.GetFrameBytes(), kNotEnoughMemory)))
        return false;
    for (int i = 0; i < scheme.choice.n; ++i) {
        FrameBuffer share = AllocateFrame(m_shareHeader.GetFrameBytes(), i == 0 ? kShadowsNoMemory1 : kShadowsNoMemory2);
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
