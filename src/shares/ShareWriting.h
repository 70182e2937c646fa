// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Every share of a secret stream written into a folder, a frame at a time as the secret is read:
// by a scheme of the catalogue, against two covers or against a key. All of them are put in
// place or none; a run stopped halfway leaves nothing behind. kvt shadows and the studio both
// make their shares here.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <iosfwd>
#include <memory>
#include <optional>
#include <stop_token>
#include <string>
#include <variant>
#include <vector>

#include "shares/GreySecretCheck.h"
#include "shares/SeedChoice.h"
#include "stream/ImageStream.h"
#include "vss/SchemeCatalogue.h"

class CKeyedShare;
class CRandomSource;
class CShareStreams;
class CStreamFileReader;

// Two black-and-white streams of the secret's size: each share shows its own.
struct CoverPair {
    std::filesystem::path first;
    std::filesystem::path second;
};

// A first share made before: only the second share is written, against it.
struct KeyStream {
    std::filesystem::path path;
};

struct ShareRequest {
    std::filesystem::path secret;
    std::variant<Scheme, CoverPair, KeyStream> kind;
    std::optional<std::uint32_t> seed;  // none: system random; a key draws nothing
    std::filesystem::path folder;       // where the shares go; empty: the current folder
    std::string title;                  // BASE of BASE-ShadowN.kvt; empty: the secret's file name
};

struct ShareProgress {
    std::uint32_t frame = 0;   // frames of the secret whose shares are written
    std::uint32_t frames = 0;  // the secret's frames
    std::uint64_t bytes = 0;   // bytes of every share written for that frame
};

// Told after each frame; returning false stops the run.
using ShareProgressHook = std::function<bool(const ShareProgress&)>;

enum class ShareResult { Written, Failed, Stopped };

class CShareWriting {
public:
    CShareWriting();
    ~CShareWriting();
    CShareWriting(const CShareWriting&) = delete;
    CShareWriting& operator=(const CShareWriting&) = delete;

    // Opens the secret (and the covers or the key), gets the random bits and the buffers; false
    // after the message. Nothing is written yet.
    bool Prepare(const ShareRequest& request);

    // Every share has this header: its size and the secret's frame count.
    const KvtHeader& GetShareHeader() const;
    // What kvt says before the paths: the scheme (but the default one) and the seed, a line each.
    const std::string& GetHeading() const { return m_heading; }

    // Writes every share; Failed after the message, Stopped when `progress` said so or `stop` was
    // asked (both leave every target as it was and nothing else behind).
    ShareResult Write(const ShareProgressHook& progress = {}, std::stop_token stop = {});
    // The shares' paths in order, BASE-Shadow1.kvt first, from Prepare on.
    const std::vector<std::filesystem::path>& GetPaths() const { return m_paths; }

    // The secret's pixels neither black nor white, which show as white; counted by Write.
    std::uint64_t GetGreyPixels() const { return m_greyCheck.GetGreyPixels(); }
    // The warnings due once the shares are written: a grey secret, a key used again.
    void WarnAfterWriting(std::ostream& err) const;

private:
    bool PrepareShares(const ShareRequest& request);

    std::filesystem::path m_secretPath;
    SeedChoice m_seed;
    std::unique_ptr<CStreamFileReader> m_secret;
    std::unique_ptr<CRandomSource> m_random;
    std::unique_ptr<CShareStreams> m_shares;
    std::string m_heading;
    std::vector<std::filesystem::path> m_paths;
    const CKeyedShare* m_pKey = nullptr;  // the share made against a key, warned of afterwards
    CGreySecretCheck m_greyCheck;
};
