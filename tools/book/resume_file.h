#pragma once
// Where an unfinished training run stands, so that the same command run
// again goes on exactly from there: the file OUT.resume beside OUT.
//
// A run writes it with OUT whenever it writes OUT before its end (every
// checkpoint, a stop, an opponent that could not be started), and removes
// it once it has written OUT at its end. It holds what OUT does not: the
// run's identity (what shapes its games), its seed, how many games of its
// schedule are finished, its stamp, the engine's random generator, the
// learning curve and the score so far, and the row count and digest of
// the store it goes with. A run that goes on from it therefore deals the
// next game of the same schedule to an engine in the same state as the
// uninterrupted run's, with the same store, stamp and random draws.
//
// Format: text lines "NAME VALUE...", the first "quorvex-book train
// resume 1". Nothing here checks the run: train compares identities and
// the store.

#include <cstdint>
#include <optional>
#include <string>

#include "brain/engine.h"
#include "tools/gomocup/referee/results.h"

namespace quorvex::book {

struct ResumePoint {
  std::string run;  // the run's identity, as "name=value" words (RunDifference)
  uint32_t seed = 0;
  int32_t gamesDone = 0;  // games of the run's schedule finished and in the store
  int32_t stamp = 0;      // the run's Touch
  int64_t storeRows = 0;
  uint64_t storeDigest = 0;  // StoreDigest of the store written with it
  std::string rng;           // the engine's std::mt19937, as its operator<< writes it
  std::string curve;         // LearningCurve::Save()
  match::Tally tally;
};

// "OUT.resume".
std::string ResumePath(const std::string& out);

// Writes `point` to `path` whole or not at all (a temporary file, then a
// rename); false, with `error` set, when it cannot.
bool WriteResumePoint(const std::string& path, const ResumePoint& point, std::string& error);

// Reads `path`. Empty with `error` empty when there is no such file; empty
// with `error` set when it cannot be read or is not a resume file.
std::optional<ResumePoint> ReadResumePoint(const std::string& path, std::string& error);

// The names whose values differ between two identities, each as "NAME
// (A here, B in the file)", joined by ", "; empty when they agree.
std::string RunDifference(const std::string& mine, const std::string& theirs);

// A digest of every row of the store in rowid order, and their number.
uint64_t StoreDigest(Engine& engine, int64_t& rows);

// A 64-bit FNV-1a digest of `text` in 16 hex digits, for identities that
// hold long texts.
std::string TextDigest(const std::string& text);

}  // namespace quorvex::book
