#pragma once

// Texts the pager reads: server replies and its category file.

#include <QByteArray>
#include <QString>

namespace replies {

inline QByteArray ok(const QByteArray& body)
{
    return "HTTP/1.0 200 OK\r\n\r\n" + body;
}

inline const QByteArray notFound = "HTTP/1.0 404 Not Found\r\n\r\n";

// One headline record as the content poll and the store carry it.
inline QByteArray headline(int top, int id, const QByteArray& stamp, int isNew)
{
    const QByteArray t = QByteArray::number(top), i = QByteArray::number(id);
    return "<headline>\n\t<category>0</category>\n\t<link>http://news.example/a" + i +
           "</link>\n\t<title>Item " + i + " of " + t + "</title>\n\t<id>" + i +
           "</id>\n\t<timestamp>" + stamp + "</timestamp>\n\t<topcategory>" + t +
           "</topcategory>\n\t<newflag>" + QByteArray::number(isNew) + "</newflag>\n</headline>\n";
}

inline QByteArray topnews(const QByteArray& records)
{
    return "<topnews>\n" + records + "</topnews>\n";
}

// A small category file: the reserved category, two top categories (the
// second unticked) and one sub-category.
inline const QByteArray categories = "VERSION=7\nNUMENTRIES=4\n"
                                     "20001,0,20001,\"announcements\",1\n"
                                     "1,0,1,\"Vulnerabilities\",1\n"
                                     "2,0,2,\"Viruses\",0\n"
                                     "1,1,11,\"Linux\",1\n";

} // namespace replies
