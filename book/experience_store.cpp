#include "book/experience_store.h"

namespace quorvex {

// Placeholders until the store lands: an empty book that keeps nothing.
void ExperienceStore::LoadExperience(const std::string&) { runTouch_ = 1; }
int32_t ExperienceStore::LookupOpening(int64_t, MoveRecord&) { return 0; }
void ExperienceStore::RecordMove(int64_t, int64_t, int32_t, int32_t, int32_t, int32_t, int32_t) {}
void ExperienceStore::LearnFromGame(int32_t, int32_t, int32_t, const KeyHistory&, const MoveBuffer&) {}

}  // namespace quorvex
