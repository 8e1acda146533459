// The stand-in host's pictures: the demo's editor and sequence view, read
// back from their PNG files and checked at a few pixels.
#include <cairo.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "host/Commands.h"
#include "host/Pictures.h"
#include "platform/testing/ScriptedUi.h"

namespace {

class Png {
public:
    explicit Png(const std::string& path)
        : image(cairo_image_surface_create_from_png(path.c_str())) {}
    ~Png() { cairo_surface_destroy(image); }
    bool ok() const { return cairo_surface_status(image) == CAIRO_STATUS_SUCCESS; }
    int width() const { return cairo_image_surface_get_width(image); }
    int height() const { return cairo_image_surface_get_height(image); }
    uint32_t at(int x, int y) const {
        const unsigned char* row = cairo_image_surface_get_data(image) +
                                   static_cast<size_t>(y) * cairo_image_surface_get_stride(image);
        return reinterpret_cast<const uint32_t*>(row)[x] | 0xFF000000u;
    }

private:
    cairo_surface_t* image;
};

TEST(Pictures, TheDemoDrawsTheEditorAndTheSequenceView) {
    const std::string folder = ::testing::TempDir() + "spoolex-pictures";
    std::FILE* out = std::tmpfile();
    platform::testing::ScriptedUi::instance().setEcho(false);
    ASSERT_EQ(host::demoCommand(folder, SPOOLEX_GEAR_DIR, out), 0);
    std::fclose(out);

    // 960 x 420, 16 ticks: 60 pixels a tick; selection 4..8 on take 0.
    Png editor(folder + "/demo-editor.png");
    ASSERT_TRUE(editor.ok());
    EXPECT_EQ(editor.width(), 960);
    EXPECT_EQ(editor.height(), 420);
    const uint32_t background = 0xFFC9D6DA; // "PE BG"
    EXPECT_EQ(editor.at(100, 10), background);
    EXPECT_EQ(editor.at(10, 10), 0xFF98ACB3);  // the very dark tick column at tick 0
    EXPECT_NE(editor.at(300, 10), background); // the selection
    EXPECT_EQ(editor.at(300, 10), editor.at(400, 180));
    EXPECT_EQ(editor.at(300, 300), background); // not on the other take's row
    // Take 0 is loud over the first half: its left lane (y = 50) is drawn.
    EXPECT_EQ(editor.at(100, 50), 0xFF000000u);

    // One sequence: its first box starts 8 pixels in, 16 ticks x 8 rows.
    Png sequence(folder + "/demo-sequence.png");
    ASSERT_TRUE(sequence.ok());
    EXPECT_EQ(sequence.at(8 + 80, 8 + 30), 0xFF80949Cu); // the waveform, "SE BG Very Dark"
    EXPECT_EQ(sequence.at(8 + 2, 8 + 30), 0xFFC9D6DAu);  // the box, "SE BG"
    EXPECT_EQ(sequence.at(8 + 2, 8 + 64), 0xFFA1B5BDu);  // take change at tick 8: "SE BG Dark"
    EXPECT_EQ(sequence.at(4, 30), 0xFF505050u);          // outside the boxes

    // A song that is not there is an error, not a picture.
    host::SnapshotOptions options;
    EXPECT_EQ(host::snapshotCommand(folder + "/missing.sxs", folder + "/x.png", options,
                                    SPOOLEX_GEAR_DIR, stdout),
              1);
}

} // namespace
