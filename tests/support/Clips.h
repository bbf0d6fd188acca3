// Media clips generated with ffmpeg for integration tests, made once per folder.
#pragma once

#include <string>

namespace zelvo::test {

// Writes a short clip (test picture and tone) of the given length into folder and returns
// its file name. Formats: "ts" (MPEG-TS, H.264 + AAC), "mp4" (its index first, as for the
// web), "mp4-late-index" (its index at the end: a player must seek to find it) or "wmv" (ASF,
// WMV 8 + WMA 2).
std::string makeClip(const std::string& folder, double seconds, const std::string& format = "ts");

// Writes a Matroska clip with two audio tracks, "eng" titled "English" and "chi" titled "中文"
// (a higher tone), and subtitles in "eng", and returns its file name.
std::string makeTwoTrackClip(const std::string& folder, double seconds);

// Whether the ffmpeg on this machine has the named encoder ("libx264", "aac").
bool ffmpegHasEncoder(const std::string& name);

// Writes an ASX playlist with one entry pointing at entryUrl and returns its file name.
std::string makeAsx(const std::string& folder, const std::string& name,
                    const std::string& entryUrl);

}  // namespace zelvo::test
