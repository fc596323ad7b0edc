// When a label renders its caption again; no GL needed (RenderCaption counted,
// not run).
#include <gtest/gtest.h>

#include <string>

#include "resources/TextRenderer.h"
#include "sprites/CLabelSprite.h"

class CCountedLabel : public CLabelSprite {
public:
    CCountedLabel() : CLabelSprite(nullptr, nullptr) {}
    void RenderCaption() override { ++renders; }
    int renders = 0;
};

namespace {

// How many re-renders `change` causes.
template <typename Change>
int RendersOf(CCountedLabel& label, Change change) {
    const int before = label.renders;
    change();
    return label.renders - before;
}

}  // namespace

TEST(LabelSprite, ReRendersOnlyWhenACaptionPropertyChanges) {
    CCountedLabel label;
    EXPECT_EQ(RendersOf(label, [&] { label.SetTextRect({0, 0, 100, 20}); }), 1);
    EXPECT_EQ(RendersOf(label, [&] { label.SetTextRect({10, 5, 100, 20}); }), 0);
    EXPECT_EQ(RendersOf(label, [&] { label.SetTextRect({10, 5, 100, 30}); }), 1);

    EXPECT_EQ(RendersOf(label, [&] { label.SetCaption("Hello"); }), 1);
    EXPECT_EQ(RendersOf(label, [&] { label.SetCaption("Hello"); }), 0);
    EXPECT_EQ(RendersOf(label, [&] { label.SetCaption(std::string("Hello\0", 6)); }), 1);

    EXPECT_EQ(RendersOf(label, [&] { label.SetAlignH(ALIGN_CENTER); }), 0);
    EXPECT_EQ(RendersOf(label, [&] { label.SetAlignH(ALIGN_END); }), 1);
    EXPECT_EQ(RendersOf(label, [&] { label.SetAlignV(ALIGN_END); }), 1);
    EXPECT_EQ(RendersOf(label, [&] { label.SetAlignV(ALIGN_END); }), 0);

    const SDL_Color black = {0, 0, 0, 0};
    EXPECT_EQ(RendersOf(label, [&] { label.SetFontColor(black); }), 1);
    EXPECT_EQ(RendersOf(label, [&] { label.SetFont(label.GetFont()); }), 1);
    EXPECT_EQ(RendersOf(label, [&] { label.SetFont(nullptr); }), 1);  // the caption goes
}
