#pragma once

// A skin directory: "skin.ini" plus fourteen BMP pictures.
// "skin.ini" is read line by line with white space simplified; blank lines,
// lines starting with ";" and a "[skin]" header (any case) are ignored.
// Keys, matched case-insensitively at the start of a line:
//   name=<text>            shown in the skin list
//   main=<x>,<y>           top-left of the headline pane
//   mainwidth=<n>  mainheight=<n>
//   banner= help= min= exit= search= update= config= logo=   points "x,y"
// All but logo are required and may not be 0 / (0,0).

#include <QPoint>
#include <QRect>
#include <QString>
#include <QStringList>

class CSkin
{
public:
    explicit CSkin(const QString& path);

    bool isValid() const { return valid; }
    QString getPath() const { return path; }
    QString getName() const { return name; }
    QRect getPaneRect() const { return paneRect; }
    QPoint getLogo() const { return logo; }
    QPoint getBanner() const { return banner; }
    QPoint getMin() const { return min; }
    QPoint getExit() const { return exit; }
    QPoint getHelp() const { return help; }
    QPoint getSearch() const { return search; }
    QPoint getUpdate() const { return update; }
    QPoint getConfig() const { return config; }

    // The fourteen pictures in their fixed order: background, mask, then the
    // normal and pressed pictures of help, min, exit, config, search, update.
    static const QStringList& imageNames();
    QStringList imagePaths() const;

private:
    void readLine(const QString& line, QPoint& main, int& width, int& height);

    QString path;
    QString name;
    QRect paneRect;
    QPoint logo, banner, min, exit, help, search, update, config;
    bool valid = false;
};
