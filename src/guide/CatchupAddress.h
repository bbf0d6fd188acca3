// The address that plays a past programme of a station, built from the station's live address
// and the catch-up mode and template its playlist gave, or the reason it cannot be played.
#pragma once

#include <cstdint>
#include <string>

#include "formats/Guide.h"

namespace zelvo {

struct CatchupResult {
  std::string address;  // empty when the programme cannot be played
  std::string problem;  // why it cannot, for the status line

  bool playable() const { return !address.empty(); }
};

// A station whose playlist gave a catch-up mode but no catchup-days keeps this many.
inline constexpr int kCatchupDaysWhenUnstated = 1;

// The days into the past that the station's provider keeps; 0 without catch-up.
int catchupDays(const GuideTags& tags);

// Modes: default (catchup-source is the whole address), append (catchup-source follows the live
// address), shift (utc and lutc parameters follow the live address), flussonic or fs (the
// archive address of a Flussonic server), xc (the timeshift address of an Xtream Codes server).
// Placeholders: {utc} {start} ${start} the programme's start, {utcend} {end} ${end} its end,
// {lutc} ${timestamp} ${now} the moment now, all as UTC seconds, or formatted with letters Y m
// d H M S as in {utc:YmdHMS}; {Y} {m} {d} {H} {M} {S} the start in local time; {duration} and
// {offset} (now - start) in seconds, or divided as in {duration:60}. The programme's times are
// the station's own (its tvg-shift applied); the address holds them moved by the station's
// catchup-correction. now: UTC seconds.
CatchupResult catchupAddress(const std::string& live, const GuideTags& tags,
                             const Programme& programme, int64_t now);

}  // namespace zelvo
