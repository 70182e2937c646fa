// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The messages of the stream operations: shadow generation, interlacing and stacking. The
// player's operations on whole streams and kvt's frame-by-frame ones show the same texts.

namespace vss_messages {
inline constexpr const char* kShadowsNoMemory1 = "Create VSS shadows error:  Not memory avaliable for shadow1 images";
inline constexpr const char* kShadowsNoMemory2 = "Create VSS shadows error:  Not memory avaliable for shadow2 images";
// Followed by the work files' folder and why ("/home/a/.cache/kvtplayer: needs 34 GB, 12 GB free").
inline constexpr const char* kShadowsNoRoom1 = "Create VSS shadows error: No room for shadow1 images in ";
inline constexpr const char* kShadowsNoRoom2 = "Create VSS shadows error: No room for shadow2 images in ";
inline constexpr const char* kShadowsNoPatterns = "Create VSS shadows error: No random patterns available";
inline constexpr const char* kShadowsNoImages = "Create VSS shadows error: This stream has no images";
inline constexpr const char* kShadowsNullDest = "Create VSS shadows error: Dest streams are NULL";

inline constexpr const char* kCopyNoMemory = "Copy streams error: Not avalible memory.";

inline constexpr const char* kInterlaceNotExist = "Interlacing streams error: Streams are not exist.";
inline constexpr const char* kInterlaceNoImage = "Interlacing streams error: No image in interlacing stream.";
inline constexpr const char* kInterlaceMismatch = "Interlacing streams error: Image size not match.";
inline constexpr const char* kInterlaceNoMemory = "Interlacing streams error: Not avalible memory.";
inline constexpr const char* kInterlaceTooMany =
    "Interlacing streams error: The result would hold more than 65535 images.";
inline constexpr const char* kInterlaceShort =
    "Interlacing streams error: A stream holds fewer images than its header says.";

inline constexpr const char* kRevealSizeMismatch =
    "Reveal error: The two streams must have the same width and height.";
inline constexpr const char* kRevealSizesDiffer =
    "Reveal error: The shares must all have the same width and height.";
inline constexpr const char* kRevealNoImage = "Reveal error: No image in stacking stream.";
inline constexpr const char* kRevealNoMemory = "Reveal error: Not enough memory for the images.";
}  // namespace vss_messages
