#pragma once

#include <QIcon>
#include <QPixmap>

// The program's own pictures, drawn rather than shipped: the 16 by 16 toolbar and menu icons
// by command number, the two connection icons of the status bar, the application icon and
// the 440 by 260 splash picture.
class CIconSet
{
public:
    static constexpr int kIconSize = 16;
    static constexpr int kSplashWidth = 440;
    static constexpr int kSplashHeight = 260;

    // Null icon for a command without a picture.
    static QIcon commandIcon(int commandId);
    static bool hasCommandIcon(int commandId);
    static QPixmap statusIcon(bool connected);
    static QIcon applicationIcon();
    static QPixmap splashPixmap(const QString &version);
    // The strip across the top of the About box.
    static QPixmap bannerPixmap(int width, int height);
};
