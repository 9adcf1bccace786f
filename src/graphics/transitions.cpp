#include "graphics/transitions.h"

#include <array>
#include <span>
#include <utility>

#include "graphics/blend.h"

namespace orv {

namespace {

// A dissolve pass: the offset of the pixels it copies within each cell.
struct CellOffset {
  int row, column;  // row counted from the bottom, as the stage buffers store rows
};

constexpr std::array<CellOffset, 4> kDissolve2x2 = {{{0, 0}, {1, 1}, {1, 0}, {0, 1}}};
constexpr std::array<CellOffset, 16> kDissolve4x4 = {{{0, 0}, {0, 1}, {0, 2}, {0, 3},
                                                      {1, 3}, {1, 2}, {1, 1}, {1, 0},
                                                      {2, 0}, {2, 1}, {2, 2}, {2, 3},
                                                      {3, 3}, {3, 2}, {3, 1}, {3, 0}}};
constexpr std::array<CellOffset, 4> kDissolveBlocks = {{{0, 0}, {2, 2}, {2, 0}, {0, 2}}};

class Effect {
 public:
  Effect(EffectCanvas& canvas, Rect area, int speed, const Image& target)
            : canvas_(canvas), target_(target), x(area.left), y(area.top), w(area.Width()), h(area.Height()), speed_(speed) {}

  void Run(int effect) {
    switch (effect) {
      case 1: Blinds(true, false); break;
      case 2: Blinds(true, true); break;
      case 3: Blinds(false, false); break;
      case 4: Blinds(false, true); break;
      case 5: Interlace(true); break;
      case 6: Interlace(false); break;
      case 7: StaggeredDown(); break;
      case 8: StaggeredRight(); break;
      case 9: CrossFade(); break;
      case 10: Dissolve(kDissolve2x2, 2, 1); break;
      case 11: Wipe([this](int i) { return Rect{x + i, y, x + i + 2, y + h}; }, 0, w, 2); break;
      case 12: Wipe([this](int i) { return Rect{x + i, y, x + i + 2, y + h}; }, w - 2, -2, -2); break;
      case 13: Wipe([this](int i) { return Rect{x, y + i, x + w, y + i + 2}; }, 0, h, 1); break;
      case 14: Wipe([this](int i) { return Rect{x, y + i, x + w, y + i + 2}; }, h - 1, -1, -1); break;
      case 15: Dissolve(kDissolve4x4, 4, 1); break;
      case 16: Dissolve(kDissolveBlocks, 4, 2); break;
      default: break;
    }
  }

 private:
  void Copy(Rect r) { CopySameRect(canvas_.Surface(), target_, r); }
  void Column(int column, int width = 1) { Copy(Rect{column, y, column + width, y + h}); }
  void Row(int row, int height = 1) { Copy(Rect{x, row, x + w, row + height}); }
  // Shows the step and pauses after it.
  void EndStep() {
    canvas_.Present();
    canvas_.Wait(speed_);
  }
  bool Held() { return canvas_.ButtonHeld(); }

  // Ten passes over 10-pixel stripes; a held button ends a pass after its first line.
  void Blinds(bool columns, bool fromFarEdge) {
    const int lines = (columns ? w : h) / 10;
    for (int pass = 0; pass < 10; ++pass) {
      const int p = fromFarEdge ? 9 - pass : pass;
      for (int k = 0; k < lines; ++k) {
        if (columns)
          Column(x + p + 10 * k);
        else
          Row(y + p + 10 * k);
        if (Held()) break;
      }
      EndStep();
    }
  }

  // Even lines from one side and odd lines from the other, until they meet.
  void Interlace(bool columns) {
    const int size = columns ? w : h;
    for (int i = 0; i < size; i += 2) {
      if (columns) {
        Column(x + i);
        Column(x + w - 1 - i);
      } else {
        Row(y + i);
        Row(y + h - 1 - i);
      }
      EndStep();
      if (Held()) return;
    }
  }

  // Band b (15 pixels apart) is 1 pixel high when the front reaches it and grows by one
  // pixel per step until it is whole.
  void StaggeredDown() {
    for (int o = 0; o < h; o += 15) {
      for (int m = 0; m <= 14 && 15 * m < h; ++m) Row(y + o + 15 * m, 15 - m);
      EndStep();
      if (Held()) return;
    }
  }

  void StaggeredRight() {
    for (int o = 0; o < w; o += 15) {
      for (int m = 0; m <= 14 && 15 * m < w; ++m) {
        Column(x + o + 15 * m, 15 - m);
        if (Held()) break;
      }
      EndStep();
    }
  }

  template <typename Strip>
  void Wipe(Strip strip, int first, int end, int stride) {
    for (int i = first; stride > 0 ? i < end : i > end; i += stride) {
      Copy(strip(i));
      EndStep();
      if (Held()) return;
    }
  }

  // The target as a full-stage picture: a target of another size is placed at the top-left
  // corner over black, in `placed`.
  const Image& StageTarget(Image& placed) const {
    if (target_.width() == kStageWidth && target_.height() == kStageHeight) return target_;
    placed = Image(kStageWidth, kStageHeight);
    CopyImage(placed, target_);
    return placed;
  }

  // Sixteen steps, each moving every byte of the window's picture step/16 of the remaining
  // way towards the target; step 0 changes nothing. The steps work on the window's picture
  // itself: nothing else draws on it while the effect runs.
  void CrossFade() {
    Image placed;
    const Image& target = StageTarget(placed);
    for (int step = 0; step < 16; ++step) {
      CrossFadeStep(canvas_.Surface(), target, step);
      EndStep();
      if (Held()) return;
    }
  }

  // Each pass copies the pixels at one offset of every cell (a block of block x block
  // pixels) from the target into the window's picture and shows the whole of it.
  void Dissolve(std::span<const CellOffset> passes, int cell, int block) {
    Image& work = canvas_.Surface();
    Image placed;
    const Image& target = StageTarget(placed);
    const int width = work.width(), height = work.height();
    for (const CellOffset& pass : passes) {
      for (int r = pass.row; r < height; r += cell)
        for (int br = r; br < r + block && br < height; ++br) {
          const int row = height - 1 - br;  // rows are counted from the bottom
          uint8_t* out = work.row(row);
          const uint8_t* in = target.row(row);
          for (int c = pass.column; c < width; c += cell)
            for (int bc = c; bc < c + block && bc < width; ++bc) {
              out[3 * bc] = in[3 * bc];
              out[3 * bc + 1] = in[3 * bc + 1];
              out[3 * bc + 2] = in[3 * bc + 2];
            }
        }
      EndStep();
      if (Held()) return;
    }
  }

  EffectCanvas& canvas_;
  const Image& target_;
  const int x, y, w, h;
  const int speed_;
};

}  // namespace

void RunEffect(EffectCanvas& canvas, int effect, Rect area, int speed, const Image& target) {
  Effect(canvas, area, speed, target).Run(effect);
}

void RunTransition(EffectCanvas& canvas, int effect, int speed, const Image& stage) {
  RunEffect(canvas, effect, Rect{0, 0, kStageWidth, kStageHeight}, speed, stage);
}

}  // namespace orv
