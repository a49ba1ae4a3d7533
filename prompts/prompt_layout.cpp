#include "prompts/prompt_layout.hpp"

#include <algorithm>

#include "widgets/rounding.hpp"

namespace zelvane {
namespace {

// A factor of 0 or less never comes from a display; it is read as one twip per pixel.
std::int64_t Factor(int twipsPerPixel) { return twipsPerPixel > 0 ? twipsPerPixel : 1; }

}  // namespace

int FixedBodyWindowWidth(int formatWidthTwips, int twipsPerPixelX) {
    const std::int64_t factor = Factor(twipsPerPixelX);
    // formatWidth / factor + 5, rounded: the fraction is that of formatWidth / factor.
    return ClampToInt32(DivideRoundHalfEven(static_cast<std::int64_t>(formatWidthTwips) + 5 * factor, factor));
}

PromptBodyPlacement PlacePromptBody(int labelLeft, int labelTop, int twipsPerPixelX, int twipsPerPixelY,
                                    int autoWidthPixels, int formatWidthTwips) {
    PromptBodyPlacement placement;
    placement.xPixels = ClampToInt32(DivideRoundHalfEven(labelLeft, Factor(twipsPerPixelX)));
    placement.yPixels = ClampToInt32(DivideRoundHalfEven(labelTop, Factor(twipsPerPixelY)));
    if (formatWidthTwips == -1) {
        placement.requestedWidthPixels = autoWidthPixels;
    } else {
        placement.requestedWidthPixels = FixedBodyWindowWidth(formatWidthTwips, twipsPerPixelX);
        placement.targetWidthTwips = ClampToInt32(static_cast<std::int64_t>(formatWidthTwips) - 200);
    }
    return placement;
}

PromptLayout LayoutPrompt(const PromptLayoutInput& input) {
    PromptLayout layout;
    layout.body = PlacePromptBody(input.labelLeft, input.labelTop, input.twipsPerPixelX, input.twipsPerPixelY,
                                  input.autoWidthPixels, input.formatWidthTwips);
    const std::int64_t factorX = Factor(input.twipsPerPixelX);
    const std::int64_t factorY = Factor(input.twipsPerPixelY);

    // The measured width is trusted as asked for; a fixed width is taken from the window itself.
    const std::int64_t bodyWidth = input.formatWidthTwips == -1 ? input.autoWidthPixels : input.bodyActualWidthPixels;
    const std::int64_t rightEdge = input.labelLeft + bodyWidth * factorX;
    std::int64_t dialogWidth = rightEdge + 300;

    const std::int64_t buttonTop =
        input.labelTop + static_cast<std::int64_t>(input.bodyActualHeightPixels) * factorY + 120;
    const std::int64_t dialogHeight = buttonTop + input.designedButtonHeight + 500;

    const std::int64_t width = input.buttonWidth;
    const int count = std::clamp(input.buttonCount, 1, kPromptMaxButtons);

    std::vector<std::int64_t> lefts(static_cast<std::size_t>(count));
    lefts[0] = kPromptButtonDesignLeft;
    std::int64_t rowTotal = 0;
    for (std::size_t i = 1; i < lefts.size(); ++i) {
        lefts[i] = lefts[i - 1] + width + kPromptButtonGap;
        rowTotal += width + kPromptButtonGap;
    }
    rowTotal += width + 420;
    if (dialogWidth < rowTotal) dialogWidth = rowTotal;

    const std::int64_t rowWidth = rowTotal - 420;
    if (dialogWidth > rowWidth) {
        const std::int64_t x0 = DivideRoundHalfEven(dialogWidth - rowWidth, 2);
        for (std::size_t i = 0; i < lefts.size(); ++i) {
            const auto n = static_cast<std::int64_t>(i);
            lefts[i] = x0 + n * width + n * kPromptButtonGap;
        }
    }

    layout.rightEdge = ClampToInt32(rightEdge);
    layout.dialogWidth = ClampToInt32(dialogWidth);
    layout.dialogHeight = ClampToInt32(dialogHeight);
    layout.buttonTop = ClampToInt32(buttonTop);
    layout.buttonWidth = input.buttonWidth;
    layout.buttonHeight = input.buttonHeight;
    layout.buttonLefts.reserve(lefts.size());
    for (const std::int64_t left : lefts) layout.buttonLefts.push_back(ClampToInt32(left));
    return layout;
}

PromptFit FitPromptToWorkArea(const PromptLayoutInput& input, int workWidthTwips) {
    PromptFit fit;
    fit.formatWidthTwips = input.formatWidthTwips;
    fit.buttonWidth = input.buttonWidth;
    const std::int64_t factorX = Factor(input.twipsPerPixelX);
    const std::int64_t work = workWidthTwips;

    // The row of buttons alone: narrower buttons when it is wider than the work area.
    const std::int64_t count = std::clamp(input.buttonCount, 1, kPromptMaxButtons);
    const std::int64_t rowTotal = count * input.buttonWidth + (count - 1) * kPromptButtonGap + 420;
    if (rowTotal > work) {
        const std::int64_t narrowed = (work - 420 - (count - 1) * kPromptButtonGap) / count;
        fit.buttonWidth = ClampToInt32(std::max<std::int64_t>(narrowed, factorX));
    }

    // The body as asked: the measured width, or the window width of a fixed width.
    const std::int64_t bodyPixels = input.formatWidthTwips == -1
                                        ? input.autoWidthPixels
                                        : FixedBodyWindowWidth(input.formatWidthTwips, input.twipsPerPixelX);
    const auto dialogWidth = [&](std::int64_t pixels) { return input.labelLeft + pixels * factorX + 300; };
    if (dialogWidth(bodyPixels) <= work) return fit;

    // The widest fixed width whose window still fits: formatWidth / factor + 5 pixels wide.
    std::int64_t format = work - input.labelLeft - 300 - 5 * factorX;
    while (format > 0 && dialogWidth(FixedBodyWindowWidth(ClampToInt32(format), input.twipsPerPixelX)) > work) {
        --format;
    }
    // A line width below one pixel never comes from a real screen; keep a usable minimum.
    fit.wrapBody = true;
    fit.formatWidthTwips = ClampToInt32(std::max<std::int64_t>(format, 200 + factorX));
    return fit;
}

int MaxBodyHeightPixels(const PromptLayoutInput& input, int workHeightTwips) {
    const std::int64_t factorY = Factor(input.twipsPerPixelY);
    const std::int64_t room =
        static_cast<std::int64_t>(workHeightTwips) - input.labelTop - 120 - input.designedButtonHeight - 500;
    return ClampToInt32(std::max<std::int64_t>(room / factorY, 1));
}

}  // namespace zelvane
