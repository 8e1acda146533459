// A surface that keeps every drawing operation with its exact arguments, so
// tests can pin what a paint draws without looking at pixels.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Surface.h"

namespace platform::testing {

struct DrawOp {
    enum Kind { Fill, Rect, Ellipse, Pattern, Mask } kind;
    float x = 0, y = 0, w = 0, h = 0; // Fill, Rect, Ellipse; Mask: left, top, width, height
    float penWidth = 0;
    uint32_t argb = 0;   // Pattern: the set colour
    uint32_t clear = 0;  // Pattern: the clear colour
    PixelRect rect{};    // Pattern
    int32_t originX = 0; // Pattern
    int32_t originY = 0;
    std::vector<uint8_t> rows; // Pattern: 8 rows; Mask: the bitmap's bytes
    int32_t bitmapWidth = 0, bitmapHeight = 0, stride = 0; // Mask
};

class RecordingSurface final : public Surface {
public:
    explicit RecordingSurface(PixelRect paint) : paint(paint) {}

    PixelRect paintRect() const override { return paint; }
    void fillRect(float x, float y, float w, float h, uint32_t argb) override {
        ops.push_back(shape(DrawOp::Fill, x, y, w, h, 0, argb));
    }
    void drawRect(float x, float y, float w, float h, float penWidth, uint32_t argb) override {
        ops.push_back(shape(DrawOp::Rect, x, y, w, h, penWidth, argb));
    }
    void drawEllipse(float x, float y, float w, float h, float penWidth, uint32_t argb) override {
        ops.push_back(shape(DrawOp::Ellipse, x, y, w, h, penWidth, argb));
    }
    void fillPattern(const PixelRect& rect, const uint8_t rows[8], int32_t originX, int32_t originY,
                     uint32_t setArgb, uint32_t clearArgb) override {
        DrawOp op{};
        op.kind = DrawOp::Pattern;
        op.rect = rect;
        op.rows.assign(rows, rows + 8);
        op.originX = originX;
        op.originY = originY;
        op.argb = setArgb;
        op.clear = clearArgb;
        ops.push_back(op);
    }
    void paintMask(int32_t left, int32_t top, int32_t width, int32_t height, const uint8_t* bits,
                   int32_t bitmapWidth, int32_t bitmapHeight, int32_t stride,
                   uint32_t argb) override {
        DrawOp op = shape(DrawOp::Mask, static_cast<float>(left), static_cast<float>(top),
                          static_cast<float>(width), static_cast<float>(height), 0, argb);
        op.rows.assign(bits,
                       bits + static_cast<size_t>(stride) * static_cast<size_t>(bitmapHeight));
        op.bitmapWidth = bitmapWidth;
        op.bitmapHeight = bitmapHeight;
        op.stride = stride;
        ops.push_back(op);
    }

    // The operations of one kind, in drawing order; with a colour, only those.
    std::vector<DrawOp> of(DrawOp::Kind kind) const {
        std::vector<DrawOp> found;
        for (const DrawOp& op : ops)
            if (op.kind == kind)
                found.push_back(op);
        return found;
    }
    std::vector<DrawOp> of(DrawOp::Kind kind, uint32_t argb) const {
        std::vector<DrawOp> found;
        for (const DrawOp& op : ops)
            if (op.kind == kind && op.argb == argb)
                found.push_back(op);
        return found;
    }

    std::vector<DrawOp> ops;

private:
    static DrawOp shape(DrawOp::Kind kind, float x, float y, float w, float h, float pen,
                        uint32_t argb) {
        DrawOp op{};
        op.kind = kind;
        op.x = x;
        op.y = y;
        op.w = w;
        op.h = h;
        op.penWidth = pen;
        op.argb = argb;
        return op;
    }

    PixelRect paint;
};

} // namespace platform::testing
