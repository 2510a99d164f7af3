#include <algorithm>

#include "fieldview/apply_edits.h"
#include "fieldview/field_ranges.h"
#include "fieldview/number_text.h"

// The header, rate and sequence tables of an animated cursor, and the steps added to or removed from it.
namespace delvix::fieldview {

namespace {

bool isAniNode(const model::Document& document, const model::Node& node, std::string_view name) {
  return document.kind == model::FileKind::animatedCursor && node.name() == name;
}

ApplyResult appliedRow(const model::Document& document, const model::Node& node, std::size_t row, ValueRange range) {
  ApplyResult result;
  result.kind = ApplyResult::Kind::applied;
  result.changedRows.push_back(changedRow(document, node, row, range));
  return result;
}

std::string sequenceMessage(const model::AniState& ani) {
  return "This value must be greater than 0 and less than " + std::to_string(ani.framesRead + 1) + "!";
}

// The frame index (from 0) of the frame numbered in `text`, or the refusal.
std::optional<std::uint32_t> frameIndexIn(const model::AniState& ani, std::string_view text, ApplyResult& refusal) {
  const ValueRange range = ranges::sequenceFrame(ani.framesRead);
  auto number = numberInText(text, false);
  if (!number) {
    refusal = refusedWith(ani.framesRead == 0 ? sequenceMessage(ani) : notANumberMessage(text, range));
    return std::nullopt;
  }
  if (!range.contains(*number)) {
    refusal = refusedWith(sequenceMessage(ani));
    return std::nullopt;
  }
  return static_cast<std::uint32_t>(*number - 1);
}

// The step count follows the sequence array. Rates given per step keep one entry a step; a new step is shown
// for the display rate, as it was while it had no entry of its own.
void followSequence(model::AniState& ani) {
  const auto steps = static_cast<std::uint32_t>(ani.sequence.size());
  ani.stepCount = steps;
  ani.header.steps = steps;
  if (ani.hasRate && ani.ratesPerStep()) ani.rates.resize(steps, ani.header.displayRate);
}

// What every change of the step count reports: the tables and the delays shown again, the new sizes.
ApplyResult stepsChanged(model::Document& document) {
  ApplyResult result;
  result.kind = ApplyResult::Kind::applied;
  result.relist = true;
  result.delaysChanged = document.ani.ratesPerStep();
  result.statusText = refreshStoredSizes(document);
  return result;
}

ApplyResult applyStepCount(model::Document& document, const model::Node& node, const std::string& text) {
  model::AniState& ani = document.ani;
  auto steps = numberInText(text, false);
  if (!steps) return refusedWith(notANumberMessage(text, ranges::steps));
  if (*steps < 1) return refusedWith("Number of steps must be greater than 0.");
  if (*steps > ranges::maxSteps) return refusedWith("Number of steps must be between 1 and 65535.");
  const auto count = static_cast<std::size_t>(*steps);
  // The writer counts one step a frame when it writes no sequence: any other count would not be saved.
  if (!ani.hasSequence && count != ani.framesRead)
    return refusedWith("Without a 'seq ' chunk there is one step a frame (" + std::to_string(ani.framesRead) +
                       "): add the chunk to set another number of steps.");
  const std::size_t old = ani.sequence.size();
  if (count > old && ani.framesRead == 0) return refusedWith("The file has no frame for the new steps to show.");

  // New steps go on through the frames from where the old ones ended.
  ani.sequence.resize(count);
  for (std::size_t step = old; step < count; ++step)
    ani.sequence[step] = static_cast<std::uint32_t>(step % ani.framesRead);
  followSequence(ani);
  ApplyResult result = stepsChanged(document);
  result.changedRows.push_back(changedRow(document, node, 2, ranges::steps));
  return result;
}

}  // namespace

ApplyResult applyRate(model::Document& document, const model::Node& node, std::size_t row, const std::string& text) {
  model::AniState& ani = document.ani;
  if (!isAniNode(document, node, "time") || row >= ani.rates.size()) return {};
  auto value = numberInRange(text, ranges::u32);
  if (!value) return refusedWith(notANumberMessage(text, ranges::u32));
  ani.rates[row] = static_cast<std::uint32_t>(*value);
  ApplyResult result = appliedRow(document, node, row, ranges::u32);
  result.delaysChanged = true;
  return result;
}

ApplyResult applySequenceEntry(model::Document& document, const model::Node& node, std::size_t row,
                               const std::string& text) {
  model::AniState& ani = document.ani;
  if (!isAniNode(document, node, "sequence") || row >= ani.sequence.size()) return {};
  ApplyResult refusal;
  auto frame = frameIndexIn(ani, text, refusal);
  if (!frame) return refusal;
  ani.sequence[row] = *frame;
  ApplyResult result = appliedRow(document, node, row, ranges::sequenceFrame(ani.framesRead));
  result.delaysChanged = ani.ratesPerStep();
  return result;
}

ApplyResult applyAniHeader(model::Document& document, const model::Node& node, std::size_t row,
                           const std::string& text) {
  if (!isAniNode(document, node, "ani_header")) return {};
  if (row == 2) return applyStepCount(document, node, text);
  model::AniHeader& header = document.ani.header;
  std::uint32_t* field = row == 3   ? &header.width
                         : row == 4 ? &header.height
                         : row == 7 ? &header.displayRate
                         : row == 8 ? &header.attributes
                                    : nullptr;
  if (!field) return {};
  auto value = numberInRange(text, ranges::u32);
  if (!value) return refusedWith(notANumberMessage(text, ranges::u32));
  const bool wasPerStep = document.ani.ratesPerStep();
  *field = static_cast<std::uint32_t>(*value);
  ApplyResult result = appliedRow(document, node, row, ranges::u32);
  // Steps without an entry of their own (every step without a "rate" chunk) are shown for the display rate;
  // the sequence flag decides whether the rate entries count steps or frames.
  result.delaysChanged = row == 7 || document.ani.ratesPerStep() != wasPerStep;
  return result;
}

ApplyResult addStep(model::Document& document, const model::Node& node, const std::string& edit1Text) {
  model::AniState& ani = document.ani;
  if (!isAniNode(document, node, "sequence")) return {};
  std::uint32_t frame = 0;
  if (edit1Text.find_first_not_of(" \t") != std::string::npos) {
    ApplyResult refusal;
    auto typed = frameIndexIn(ani, edit1Text, refusal);
    if (!typed) return refusal;
    frame = *typed;
  } else if (ani.framesRead == 0) {
    return refusedWith(sequenceMessage(ani));
  }
  if (ani.sequence.size() >= static_cast<std::size_t>(ranges::maxSteps))
    return refusedWith("Number of steps must be between 1 and 65535.");
  ani.sequence.push_back(frame);
  followSequence(ani);
  ApplyResult result = stepsChanged(document);
  result.changedRows.push_back(
      changedRow(document, node, ani.sequence.size() - 1, ranges::sequenceFrame(ani.framesRead)));
  return result;
}

ApplyResult removeStep(model::Document& document, const model::Node& node, std::size_t row) {
  model::AniState& ani = document.ani;
  if (!isAniNode(document, node, "sequence") || row >= ani.sequence.size()) return {};
  if (ani.sequence.size() < 2) return refusedWith("The last step of the sequence cannot be removed.");
  const auto at = static_cast<std::ptrdiff_t>(row);
  ani.sequence.erase(ani.sequence.begin() + at);
  if (ani.hasRate && ani.ratesPerStep() && row < ani.rates.size()) ani.rates.erase(ani.rates.begin() + at);
  followSequence(ani);
  return stepsChanged(document);
}

}  // namespace delvix::fieldview
