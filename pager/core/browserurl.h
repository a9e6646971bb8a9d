#pragma once

// The addresses the pager hands to a browser, and the checks they pass first.

#include <QString>

// The provider's web site, for the site search and the home page.
QString providerWebHost();
QString homePageUrl();
// The installed documentation page, the one "file:" address ever opened.
QString helpPageUrl();

// The site-search address for what the user typed: white space simplified,
// blanks turned into "+", nothing else encoded.
QString searchUrl(const QString& text);

// Whether `url` may go to a browser: web addresses only (http, https, ftp)
// and the documentation page; never one a browser could take for an option.
bool isNavigableUrl(const QString& url);

// The URL made safe inside "openURL(...)": characters that would end or
// split the remote command are percent-encoded.
QString remoteCommandUrl(const QString& url);
