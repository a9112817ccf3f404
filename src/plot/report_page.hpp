#pragma once
// The event's page, report.html: the event, its figures, the flatfile's main columns as a table that
// sorts when a header is clicked, the records that are not ok with their reasons, and each record's
// summary figures and files. It refers only to files of the event folder, by relative links.
#include <string>
#include <vector>

#include "plot/event_figures.hpp"

namespace smwave::plot {

// A record as the page shows it: the figures drawn for it (paths relative to the event folder) and its
// files.
struct PageRecord {
    std::string name;
    std::vector<std::string> figures;
    std::vector<std::string> files;
};

// The columns of the page's table.
const std::vector<std::string>& page_columns();

// The whole page; `event_figures` are paths relative to the event folder.
std::string report_page(const Flatfile& flatfile, const std::vector<std::string>& event_figures,
                        const std::vector<PageRecord>& records);

// `text` with &, <, >, " and ' as character references.
std::string html_escaped(const std::string& text);

// A relative path as a URL: each byte outside the unreserved set and '/' percent-encoded.
std::string url_of(const std::string& path);

}  // namespace smwave::plot
