#pragma once

#include <QIcon>
#include <QPixmap>

// The program's pictures: the toolbar and menu icons by command number (the desktop theme's
// where it has one, else the program's own SVG pictures, sharp at any pixel ratio and drawn in
// the palette's ink), the two connection icons of the status bar, the application icon (the
// installed zorvik.svg) and the 440 by 260 splash picture.
class CIconSet
{
public:
    static constexpr int kIconSize = 16;
    static constexpr int kSplashWidth = 440;
    static constexpr int kSplashHeight = 260;

    // Null icon for a command without a picture.
    static QIcon commandIcon(int commandId);
    // The program's own picture of a command, whatever the desktop theme offers.
    static QIcon ownCommandIcon(int commandId);
    static bool hasCommandIcon(int commandId);
    static QPixmap statusIcon(bool connected);
    static QIcon applicationIcon();
    static QPixmap splashPixmap(const QString &version);
    // The strip across the top of the About box.
    static QPixmap bannerPixmap(int width, int height);
};
