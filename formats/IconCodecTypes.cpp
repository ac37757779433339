#include "formats/IconCodecTypes.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace glyphary::formats {
namespace {

// Lower is better: the depth rule of LookupIconIdFromDirectoryEx as a rank.
long depthRank(int bitsPerPixel, int screenBitsPerPixel)
{
    if (bitsPerPixel == screenBitsPerPixel)
        return 0;
    if (bitsPerPixel < screenBitsPerPixel)
        return 1 + (screenBitsPerPixel - bitsPerPixel); // deepest below the screen first
    return 1000 + bitsPerPixel;                            // all deeper: shallowest first
}

} // namespace

std::optional<std::size_t> chooseIconImage(std::span<const IconCandidate> candidates, int wantedWidth,
    int wantedHeight, int screenBitsPerPixel)
{
    const auto fits = [&](const IconCandidate& c) { return c.width <= wantedWidth && c.height <= wantedHeight; };
    const auto distance = [&](const IconCandidate& c) {
        return std::labs(static_cast<long>(c.width) - wantedWidth) + std::labs(static_cast<long>(c.height) - wantedHeight);
    };
    bool anyFits = false;
    for (const IconCandidate& c : candidates)
        anyFits = anyFits || fits(c);

    std::optional<std::size_t> best;
    for (std::size_t i = 0; i < candidates.size(); ++i) {
        const IconCandidate& c = candidates[i];
        if (anyFits && !fits(c))
            continue;
        if (!best) {
            best = i;
            continue;
        }
        const IconCandidate& b = candidates[*best];
        const long dc = distance(c);
        const long db = distance(b);
        if (dc < db || (dc == db && depthRank(c.bitsPerPixel, screenBitsPerPixel) < depthRank(b.bitsPerPixel, screenBitsPerPixel)))
            best = i;
    }
    return best;
}

std::string_view errorName(IconCodecError error)
{
    switch (error) {
    case IconCodecError::None: return "None";
    case IconCodecError::TooShort: return "TooShort";
    case IconCodecError::NotBmp: return "NotBmp";
    case IconCodecError::BadIconHeader: return "BadIconHeader";
    case IconCodecError::NoImages: return "NoImages";
    case IconCodecError::TooManyImages: return "TooManyImages";
    case IconCodecError::EntryOutOfFile: return "EntryOutOfFile";
    case IconCodecError::NotRiff: return "NotRiff";
    case IconCodecError::MissingAniHeader: return "MissingAniHeader";
    case IconCodecError::RawFramesUnsupported: return "RawFramesUnsupported";
    case IconCodecError::NoFrames: return "NoFrames";
    case IconCodecError::BadSequence: return "BadSequence";
    case IconCodecError::UnsupportedHeader: return "UnsupportedHeader";
    case IconCodecError::BadDimensions: return "BadDimensions";
    case IconCodecError::TooLarge: return "TooLarge";
    case IconCodecError::UnsupportedBitCount: return "UnsupportedBitCount";
    case IconCodecError::UnsupportedCompression: return "UnsupportedCompression";
    case IconCodecError::TruncatedPalette: return "TruncatedPalette";
    case IconCodecError::TruncatedPixels: return "TruncatedPixels";
    case IconCodecError::BadPng: return "BadPng";
    case IconCodecError::OutOfMemory: return "OutOfMemory";
    case IconCodecError::NothingToWrite: return "NothingToWrite";
    case IconCodecError::UnsupportedDepth: return "UnsupportedDepth";
    case IconCodecError::BadHotspot: return "BadHotspot";
    case IconCodecError::PngEncodingFailed: return "PngEncodingFailed";
    case IconCodecError::BadFrame: return "BadFrame";
    case IconCodecError::BudgetSpent: return "BudgetSpent";
    }
    return "Unknown";
}

bool DecodeBudget::take(std::uint64_t pixels)
{
    if (cutShort || pixels > pixelsLeft || timeLeft <= std::chrono::steady_clock::duration::zero()) {
        cutShort = true;
        return false;
    }
    pixelsLeft -= pixels;
    pixelsDecoded += pixels;
    return true;
}

void DecodeBudget::spent(std::chrono::steady_clock::duration time)
{
    timeLeft -= time;
}

std::optional<std::size_t> chooseSharpestImage(std::span<const IconCandidate> candidates, int side)
{
    const auto longerSide = [](const IconCandidate& c) { return std::max(c.width, c.height); };
    // True when a is strictly the better source: ties keep the earlier image.
    const auto better = [&](const IconCandidate& a, const IconCandidate& b) {
        const bool aReaches = longerSide(a) >= side;
        if (aReaches != (longerSide(b) >= side))
            return aReaches;
        if (longerSide(a) != longerSide(b))
            return aReaches ? longerSide(a) < longerSide(b) : longerSide(a) > longerSide(b);
        return a.bitsPerPixel > b.bitsPerPixel;
    };
    std::optional<std::size_t> best;
    for (std::size_t i = 0; i < candidates.size(); ++i)
        if (!best || better(candidates[i], candidates[*best]))
            best = i;
    return best;
}

} // namespace glyphary::formats
