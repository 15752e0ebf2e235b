// TCollector: hands out consecutive ranges of the shared vertex buffer.
#include "game/game_types.h"

#include <stdexcept>

int TCollector::Add(std::int32_t Length) {
  if (Count >= MaxRanges) throw std::length_error("TCollector: more than ten vertex ranges");
  ++Count;
  Ranges[Count] = TVertexRange{Total, Length};
  Total += Length;
  return Count;
}
