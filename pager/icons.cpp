#include "pager/icons.h"

namespace {

// A small pager: dark case, lit screen with two text lines, three keys.
const char* const normalXpm[] = {
    "16 16 17 1",       "  c None",         ". c #101820",      "+ c #2A3A4A",
    "@ c #4A6078",      "# c #7890A8",      "$ c #0C3010",      "% c #1E6A26",
    "& c #38B040",      "* c #90F098",      "= c #E8FFE8",      "- c #C0C8D0",
    "; c #F0F4F8",      "> c #603010",      ", c #C06020",      "' c #FFB040",
    ") c #FFF0C0",      "! c #806000",      "                ", "  ............  ",
    " .@##########@. ", " .#$$$$$$$$$$#. ", " .#$%%%%%%%%$#. ", " .#$%**&**&%$#. ",
    " .#$%%%%%%%%$#. ", " .#$%*&**=*%$#. ", " .#$%%%%%%%%$#. ", " .#$$$$$$$$$$#. ",
    " .@##########@. ", " .@+--+--+--+@. ", " .@+;-+;-+;-+@. ", " .@@@@@@@@@@@@. ",
    "  ............  ", "                "};

// The same case with an amber screen and an exclamation mark: news waiting.
const char* const alternateXpm[] = {
    "16 16 17 1",       "  c None",         ". c #101820",      "+ c #2A3A4A",
    "@ c #4A6078",      "# c #7890A8",      "$ c #402008",      "% c #A05010",
    "& c #E08020",      "* c #FFD060",      "= c #FFFFF0",      "- c #C0C8D0",
    "; c #F0F4F8",      "> c #603010",      ", c #C06020",      "' c #FFB040",
    ") c #FFF0C0",      "! c #806000",      "                ", "  ............  ",
    " .@##########@. ", " .#$$$$$$$$$$#. ", " .#$&&&==&&&$#. ", " .#$&&&==&&&$#. ",
    " .#$&&&==&&&$#. ", " .#$&&&**&&&$#. ", " .#$&&&&&&&&$#. ", " .#$&&&==&&&$#. ",
    " .@##########@. ", " .@+--+--+--+@. ", " .@+;-+;-+;-+@. ", " .@@@@@@@@@@@@. ",
    "  ............  ", "                "};

const char* const uncheckedXpm[] = {
    "16 16 2 1",        "  c None",         ". c #000000",      "                ",
    "                ", "                ", "  ..........    ", "  .        .    ",
    "  .        .    ", "  .        .    ", "  .        .    ", "  .        .    ",
    "  .        .    ", "  .        .    ", "  .        .    ", "  ..........    ",
    "                ", "                ", "                "};

// Box outline with a bright green tick that runs out past the top right corner.
const char* const checkedXpm[] = {
    "16 16 3 1",        "  c None",         ". c #000000",      "+ c #00FF00",
    "              ++", "             +++", "            +++ ", "  ......... ++  ",
    "  .       .++   ", "  .      +++    ", "  .      ++.    ", "  .+    +++.    ",
    "  .++  +++ .    ", "  .+++++++ .    ", "  . +++++  .    ", "  .  +++   .    ",
    "  ..........    ", "                ", "                ", "                "};

// A dark green envelope-like marker with white highlights and grey shading.
const char* const newXpm[] = {"16 14 6 1",        "  c None",         ". c #000000",
                              "+ c #008000",      "@ c #FFFFFF",      "# c #808080",
                              "$ c #00A000",      "                ", " .............. ",
                              " .@@@@@@@@@@@@. ", " .@++++++++++#. ", " .@+@$$$$$$+## .",
                              " .@+$@$$$$@+#. .", " .@+$$@$$@$+#.  ", " .@+$$$@@$$+#.  ",
                              " .@+$$$$$$$+#.  ", " .@++++++++++#. ", " .@##########.. ",
                              " .............. ", "  ############  ", "                "};

} // namespace

QImage windowIconArt()
{
    return QImage(normalXpm);
}

QPixmap normalWindowIcon()
{
    static const QPixmap pixmap = QPixmap::fromImage(windowIconArt());
    return pixmap;
}

QPixmap alternateWindowIcon()
{
    static const QPixmap pixmap(alternateXpm);
    return pixmap;
}

QIcon uncheckedIcon()
{
    static const QIcon icon{QPixmap(uncheckedXpm)};
    return icon;
}

QIcon checkedIcon()
{
    static const QIcon icon{QPixmap(checkedXpm)};
    return icon;
}

QIcon newHeadlineIcon()
{
    static const QIcon icon{QPixmap(newXpm)};
    return icon;
}
