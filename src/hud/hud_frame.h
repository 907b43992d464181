#pragma once

// The HUD is laid out on the largest 4:3 frame the screen holds, so its
// images and text keep their shape at any aspect (on a wide screen they are
// sized by the height); each piece then sits at its own corner, or in the
// middle, of the real screen. At 4:3 the frame is the screen.
struct HudFrame {
    int screenWidth = 0;
    int screenHeight = 0;
    int width = 0;   // of the 4:3 frame
    int height = 0;

    // How far centred pieces move from their place in the frame (pieces at
    // the right are placed from the screen's right edge).
    int CentreShift() const { return (screenWidth - width) / 2; }
    // On a screen narrower than 4:3 the frame's bottom band is lower than
    // the screen's: how far its pieces move down to sit on the band's foot.
    int BottomShift() const { return screenHeight / 8 - height / 8; }
};

inline HudFrame HudFrameFor(int screenWidth, int screenHeight) {
    HudFrame frame;
    frame.screenWidth = screenWidth > 0 ? screenWidth : 0;
    frame.screenHeight = screenHeight > 0 ? screenHeight : 0;
    const int widthForHeight = frame.screenHeight / 3 * 4 + frame.screenHeight % 3 * 4 / 3;
    frame.width = widthForHeight < frame.screenWidth ? widthForHeight : frame.screenWidth;
    const int heightForWidth = frame.screenWidth / 4 * 3 + frame.screenWidth % 4 * 3 / 4;
    frame.height = heightForWidth < frame.screenHeight ? heightForWidth : frame.screenHeight;
    return frame;
}
