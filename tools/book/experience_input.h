#pragma once
// Experience files as the tool reads them: strictly, so that a wrong file
// is refused with its fault named, never taken for a book.
//
// A brain loads any bytes as records; the tool checks more. It refuses a
// path that is missing, not a regular file or unreadable, and a file with a
// record no engine could have written: a point (X, Y) outside -8..30, the
// range of normalised points, or a MoveNo outside 1..410, the stones a game
// can hold. Errors start with the path and name the byte offset of the
// record at fault.
//
// The book a command works on is loaded into an engine's store exactly as
// a brain loads its Experience.bin (ExperienceStore::LoadExperience), from
// the very file descriptor the checks read, and the rows that arrive are
// compared with the records checked. Nothing is created or written on the
// way: the engine's reader would create a missing file, but it is only
// ever handed a file that is open, or /dev/null for an empty book.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "book/experience_file.h"
#include "engine/engine.h"

namespace quorvex::book {

struct ExperienceContents {
  std::vector<ExperienceRecord> records;  // the whole records, in file order
  uint64_t bytes = 0;                     // the file's size
  uint64_t fragmentBytes = 0;             // a trailing part shorter than a record; 0 = none
};

struct LoadedBook {
  ExperienceContents contents;
  std::unique_ptr<Engine> engine;  // its store holds contents.records, in order
};

// Reads and checks `path` and loads it into a new engine seeded with
// `seed`. A trailing fragment is an error unless `allowFragment`; a brain
// would ignore it, and so does the store. Empty, with `error` set, on any
// fault.
std::optional<LoadedBook> LoadBook(const std::string& path, uint32_t seed, bool allowFragment,
                                   std::string& error);

// A new engine with an empty store, as a brain without Experience.bin.
std::unique_ptr<Engine> StartEmptyEngine(uint32_t seed);

// The engine a command starts from: an empty one without `base`, else the
// one LoadBook gives for it (no fragment allowed). Null, with `error` set,
// when the base cannot be loaded.
std::unique_ptr<Engine> StartEngineFrom(const std::string& base, uint32_t seed, std::string& error);

// "PATH: truncated: N bytes at offset M are not a whole record".
std::string FragmentError(const std::string& path, const ExperienceContents& contents);

// Every row of the engine's store, in rowid order.
std::vector<ExperienceRecord> StoreRows(Engine& engine);

// How many rows the engine's store holds.
int64_t StoreRowCount(Engine& engine);

}  // namespace quorvex::book
