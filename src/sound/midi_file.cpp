#include "sound/midi_file.h"

#include <algorithm>
#include <functional>
#include <queue>
#include <utility>

#include "platform/audio/midi_output.h"

namespace orv {
namespace {

constexpr uint8_t kMetaTempo = 0x51;

// The bytes of one track chunk and where reading stands in them.
struct TrackReader {
  ByteSpan data;  // the whole file
  size_t pos = 0;
  size_t end = 0;  // one past the chunk's last byte that lies inside the file
  uint8_t runningStatus = 0;

  // A track goes on while the read position is before its last byte: an event needs at
  // least a delta and one more byte.
  bool HasMore() const { return pos + 1 < end; }

  // A variable-length number, most significant 7-bit group first. Nothing when the track
  // ends inside it. Overlong numbers wrap, as a 32-bit accumulator does.
  std::optional<uint32_t> ReadNumber() {
    uint32_t value = 0;
    while (pos < end) {
      const uint8_t b = data[pos++];
      value = value << 7 | (b & 0x7F);
      if (!(b & 0x80)) return value;
    }
    return std::nullopt;
  }

  std::optional<ByteSpan> ReadBytes(uint32_t count) {
    if (count > end - pos) return std::nullopt;
    const ByteSpan bytes = data.subspan(pos, count);
    pos += count;
    return bytes;
  }
};

// One event as the file holds it.
struct RawEvent {
  uint8_t status = 0;
  uint8_t data1 = 0;
  uint8_t data2 = 0;
  uint8_t metaType = 0;
  ByteSpan payload;  // system-exclusive data, or the meta event's bytes
};

// Data bytes of the system messages that may turn up in a damaged file; real-time and
// undefined ones have none.
int SystemMessageDataBytes(uint8_t status) {
  switch (status) {
    case 0xF1:
    case 0xF3: return 1;
    case 0xF2: return 2;
    default: return 0;
  }
}

// Reads the status (or takes the running one) and the event's data. Nothing when the track
// ends inside the event or starts with a data byte.
std::optional<RawEvent> ReadEvent(TrackReader& track) {
  if (track.pos >= track.end) return std::nullopt;
  RawEvent event;
  if (track.data[track.pos] >= 0x80) {
    track.runningStatus = track.data[track.pos++];
  } else if (track.runningStatus == 0) {
    return std::nullopt;
  }
  event.status = track.runningStatus;

  if (event.status < 0xF0) {
    const auto data = track.ReadBytes(uint32_t(ChannelMessageDataBytes(event.status)));
    if (!data) return std::nullopt;
    event.data1 = (*data)[0];
    event.data2 = data->size() > 1 ? (*data)[1] : 0;
    return event;
  }
  if (event.status == 0xFF) {
    if (track.pos >= track.end) return std::nullopt;
    event.metaType = track.data[track.pos++];
  }
  if (event.status == 0xFF || event.status == 0xF0 || event.status == 0xF7) {
    const auto length = track.ReadNumber();
    if (!length) return std::nullopt;
    const auto payload = track.ReadBytes(*length);
    if (!payload) return std::nullopt;
    event.payload = *payload;
    return event;
  }
  if (!track.ReadBytes(SystemMessageDataBytes(event.status))) return std::nullopt;
  return event;
}

uint32_t TempoOf(const RawEvent& event) {
  uint32_t tempo = 0;
  for (const uint8_t b : event.payload) tempo = tempo << 8 | b;
  return tempo;
}

bool IsTempo(const RawEvent& event) { return event.status == 0xFF && event.metaType == kMetaTempo; }

// The number of records an event becomes.
size_t RecordsOf(const RawEvent& event) {
  if (event.status <= 0xF0) return 1;  // a channel message or system exclusive
  if (IsTempo(event)) return TempoOf(event) != 0 ? 2 : 0;
  return 0;
}

size_t CountRecords(TrackReader track) {
  size_t count = 0;
  while (track.HasMore() && track.ReadNumber()) {
    const auto event = ReadEvent(track);
    if (!event) break;
    count += RecordsOf(*event);
  }
  return count;
}

// The tracks of the file: the first chunk after the header, each next one right after its
// predecessor, identifiers unchecked. Chunks are clipped to the file; a chunk whose header
// lies outside it ends the list.
std::vector<TrackReader> FindTracks(ByteSpan file, uint16_t trackCount) {
  std::vector<TrackReader> tracks;
  uint64_t chunk = 8 + uint64_t(*ReadU32BE(file, 4));
  for (uint16_t i = 0; i < trackCount; ++i) {
    if (chunk > file.size()) break;
    const auto length = ReadU32BE(file, size_t(chunk) + 4);
    if (!length) break;
    TrackReader track{file};
    track.pos = size_t(chunk) + 8;
    track.end = size_t(std::min<uint64_t>(chunk + 8 + *length, file.size()));
    tracks.push_back(track);
    chunk += 8 + uint64_t(*length);
  }
  return tracks;
}

class SongBuilder {
 public:
  explicit SongBuilder(MidiSong& song) : song_(song) {}

  // Appends the records of one event; the first record of a tick carries the ticks since
  // the previous record.
  void Append(const RawEvent& event, uint64_t tick) {
    if (RecordsOf(event) == 0 || song_.events.size() + RecordsOf(event) > kMaxMidiEvents) return;
    if (event.status == 0xF0) {
      if (song_.sysExBuffers.size() >= kMaxSysExBuffers || event.payload.size() >= kMaxSysExBytes) return;
      const size_t index = song_.sysExBuffers.size();
      Bytes buffer{0xF0};
      buffer.insert(buffer.end(), event.payload.begin(), event.payload.end());
      song_.sysExBuffers.push_back(std::move(buffer));
      Push(tick, 0xF0, uint8_t(index), uint8_t(index >> 8));
    } else if (IsTempo(event)) {
      const uint32_t tempo = TempoOf(event);
      Push(tick, 0xFF, uint8_t(tempo), uint8_t(tempo >> 8));
      Push(tick, 0xFF, uint8_t(tempo >> 16), uint8_t(tempo >> 24));
    } else {
      Push(tick, event.status, event.data1, event.data2);
    }
  }

 private:
  void Push(uint64_t tick, uint8_t status, uint8_t data1, uint8_t data2) {
    const uint64_t delta = tick - lastTick_;
    lastTick_ = tick;
    song_.events.push_back({uint32_t(std::min<uint64_t>(delta, UINT32_MAX)), status, data1, data2});
  }

  MidiSong& song_;
  uint64_t lastTick_ = 0;
};

// Merges the tracks by time. Each step takes the earliest pending tick and lets every track
// due then read one event, in track order; a track whose next event falls on the same tick
// is due again in the following step. So events at equal ticks interleave by track, one
// event per track per step. Steps that record nothing (meta events) leave their ticks to
// the next record's delta.
void MergeTracks(std::vector<TrackReader>& tracks, MidiSong& song) {
  using Pending = std::pair<uint64_t, size_t>;  // absolute tick, track index
  std::priority_queue<Pending, std::vector<Pending>, std::greater<Pending>> due;
  for (size_t i = 0; i < tracks.size(); ++i) {
    if (!tracks[i].HasMore()) continue;
    if (const auto delta = tracks[i].ReadNumber()) due.push({*delta, i});
  }

  SongBuilder builder(song);
  std::vector<size_t> step;
  while (!due.empty()) {
    const uint64_t tick = due.top().first;
    step.clear();
    while (!due.empty() && due.top().first == tick) {
      step.push_back(due.top().second);
      due.pop();
    }
    std::sort(step.begin(), step.end());
    for (const size_t i : step) {
      TrackReader& track = tracks[i];
      const auto event = ReadEvent(track);
      if (!event) continue;
      builder.Append(*event, tick);
      if (!track.HasMore()) continue;
      if (const auto delta = track.ReadNumber()) due.push({tick + *delta, i});
    }
  }
}

}  // namespace

std::optional<MidiSong> ParseMidiSong(ByteSpan file) {
  const auto trackCount = ReadU16BE(file, 10);
  const auto division = ReadU16BE(file, 12);
  if (!trackCount || !division) return std::nullopt;

  MidiSong song;
  song.division = *division;
  std::vector<TrackReader> tracks = FindTracks(file, *trackCount);
  size_t records = 0;
  for (const TrackReader& track : tracks) records += CountRecords(track);
  song.events.reserve(std::min(records, kMaxMidiEvents));

  MergeTracks(tracks, song);
  if (song.events.empty()) return std::nullopt;
  return song;
}

}  // namespace orv
