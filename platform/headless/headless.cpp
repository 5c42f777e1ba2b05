#include "platform/headless/headless.h"

HeadlessPlatform& Headless() {
  static HeadlessPlatform platform;
  return platform;
}

void ResetHeadless() { Headless() = HeadlessPlatform{}; }

const ResourceEntry* FindResource(uint16_t id, uint16_t kind) {
  if (const ResourceEntry* e = FindResourceIn(Headless().resources, id, kind)) return e;
  return FindResourceIn(VolumeResources(), id, kind);
}

int MessageBox(WindowHandle owner, std::u16string_view text, std::u16string_view caption, uint32_t type) {
  HeadlessPlatform& p = Headless();
  p.messageBoxes.push_back({owner, std::u16string(text), std::u16string(caption), type});
  if (!p.messageBoxAnswers.empty()) {
    const int answer = p.messageBoxAnswers.front();
    p.messageBoxAnswers.pop_front();
    return answer;
  }
  return (type & 0x0F) == kMbYesNoCancel ? kIdCancel : kIdOk;
}
