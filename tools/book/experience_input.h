#pragma once
// Experience files as the tool reads them: what a brain reads, in bounded
// chunks, with every fault named before a wrong file is taken for a book.
//
// The file is opened as a brain opens it (input_file.h) and loaded into an
// engine's store through the brain's own load (ExperienceStore::
// LoadExperience), which reads it chunk by chunk; the tool keeps no copy
// of the records, so its memory is the store's plus a small buffer.
//
// Two scopes. A brain reads only the first MaxExperienceFileBytes (32 MiB)
// of a file. Commands that take a file as a brain's starting book (learn
// and train with --base) read exactly that; stats, dump and trim read the
// whole file, up to MaxToolFileBytes, so that a larger file can still be
// looked at and trimmed.
//
// Records no engine writes (a point (X, Y) outside -8..30, the range of
// normalised points, or a MoveNo outside 1..410, the entries of the move
// buffer) are loaded as a brain loads them, and counted, with the offsets
// of the first few. Only when every one of the file's first HeadRecords
// records (all of them, if it holds fewer) is of that kind is the file
// refused, as none an engine wrote: a game record or a picture given by
// mistake. Errors start with the path and name the cause and, where there
// is one, the byte offset.

#include <cstdint>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "book/experience_file.h"
#include "brain/engine.h"

namespace quorvex::book {

enum class ReadScope {
  WholeFile,  // every record, for files up to MaxToolFileBytes
  AsABrain,   // the first MaxExperienceFileBytes, as a brain reads its book
};

// The most of a file read whole: four times what a brain reads. Its store
// takes some 300 MB, and trim's sort about as much again.
inline constexpr uint64_t MaxToolFileBytes = uint64_t{128} << 20;
// How many of the first records decide that a file is none an engine wrote.
inline constexpr int64_t HeadRecords = 16;
// How many offsets of implausible records are kept to be shown.
inline constexpr std::size_t ShownOffsets = 8;

struct ExperienceContents {
  uint64_t bytes = 0;          // the file's size when opened
  uint64_t fragmentBytes = 0;  // its trailing part shorter than a record; 0 = none
  int64_t records = 0;         // the records read, the store's rows in file order
  int64_t brainRecords = 0;    // the records a brain loads: those of the first 32 MiB
  int32_t brainRunTouch = 1;   // the RunTouch of a brain loading the file
  int64_t implausible = 0;     // records read that no engine writes
  std::vector<uint64_t> implausibleOffsets;  // the first ShownOffsets of them
  std::string firstImplausible;              // what is wrong with the first
};

struct LoadedBook {
  ExperienceContents contents;
  std::unique_ptr<Engine> engine;  // its store holds contents.records rows, in file order
};

// Reads and checks `path` within `scope` into a new engine seeded with
// `seed`. A trailing fragment is an error unless `allowFragment`; a brain
// ignores it, and so does the store. Empty, with `error` set, on any fault.
std::optional<LoadedBook> LoadBook(const std::string& path, ReadScope scope, uint32_t seed,
                                   bool allowFragment, std::string& error);

// A new engine with an empty store, as a brain without Experience.bin.
std::unique_ptr<Engine> StartEmptyEngine(uint32_t seed);

// The engine a command starts from: an empty one without `base`, else the
// one LoadBook gives for it read as a brain reads it (no fragment allowed),
// with what was left unread or found implausible told on `err`. Null, with
// `error` set, when the base cannot be loaded.
std::unique_ptr<Engine> StartEngineFrom(const std::string& base, uint32_t seed, std::ostream& err,
                                        std::string& error);

// Warnings on `err` about what LoadBook read from `path` in `scope`: the
// records no engine writes, and for a file larger than a brain reads, how
// much of it a brain (or, in AsABrain scope, the command) leaves unread.
void WarnAboutContents(const std::string& path, const ExperienceContents& contents,
                       ReadScope scope, std::ostream& err);

// "N records no engine writes, at offsets A, B, ... (the first: WHY)".
std::string DescribeImplausible(const ExperienceContents& contents);

// "PATH: truncated: N bytes at offset M are not a whole record".
std::string FragmentError(const std::string& path, const ExperienceContents& contents);

// Every row of the engine's store, in rowid order.
std::vector<ExperienceRecord> StoreRows(Engine& engine);

// How many rows the engine's store holds.
int64_t StoreRowCount(Engine& engine);

}  // namespace quorvex::book
