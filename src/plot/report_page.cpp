#include "plot/report_page.hpp"

#include <cctype>
#include <cstdio>
#include <optional>

#include "companion/messages.hpp"

namespace smwave::plot {

namespace {

// Sorts a table by the column of the header clicked, numbers by value (empty cells last), again
// reversed; the header shows the order in aria-sort.
constexpr const char* sort_script = R"(<script>
for (const table of document.querySelectorAll("table.sortable")) {
  const headers = Array.from(table.tHead.rows[0].cells);
  headers.forEach((header, column) => header.addEventListener("click", () => {
    const up = header.getAttribute("aria-sort") !== "ascending";
    headers.forEach(h => h.removeAttribute("aria-sort"));
    header.setAttribute("aria-sort", up ? "ascending" : "descending");
    const body = table.tBodies[0];
    const key = row => { const c = row.cells[column], t = (c.dataset.sort ?? c.textContent).trim(), n = Number(t);
                         return t === "" ? null : (Number.isNaN(n) ? t : n); };
    const rows = Array.from(body.rows).sort((a, b) => {
      const x = key(a), y = key(b);
      if (x === null || y === null) return (x === null) - (y === null);
      const order = typeof x === typeof y ? (x < y ? -1 : x > y ? 1 : 0) : (typeof x === "number" ? -1 : 1);
      return up ? order : -order;
    });
    rows.forEach(row => body.appendChild(row));
  }));
}
</script>
)";

constexpr const char* style = R"(<style>
body { font-family: sans-serif; margin: 1.5em; color: #222; }
table { border-collapse: collapse; font-size: 0.85em; }
th, td { border: 1px solid #ccc; padding: 0.2em 0.5em; text-align: right; }
th { background: #eee; cursor: pointer; position: sticky; top: 0; }
th[aria-sort=ascending]::after { content: " \25B2"; }
th[aria-sort=descending]::after { content: " \25BC"; }
td.text { text-align: left; }
img { border: 1px solid #ccc; margin: 0.2em; vertical-align: top; }
.figures img { width: 31%; min-width: 300px; }
.wide { overflow-x: auto; max-height: 70vh; }
</style>
)";

// A number is shown to four significant digits and sorted by its whole value.
std::string cell(const std::string& text, const std::optional<double>& number) {
    if (!number) return "<td class=\"text\">" + html_escaped(text) + "</td>";
    char digits[32];
    std::snprintf(digits, sizeof digits, "%.4g", *number);
    return "<td data-sort=\"" + html_escaped(text) + "\">" + digits + "</td>";
}

std::string figure_link(const std::string& figure, const std::string& alt) {
    const std::string url = url_of(figure);
    return "<a href=\"" + url + "\"><img src=\"" + url + "\" alt=\"" + html_escaped(alt) + "\"></a>";
}

}  // namespace

const std::vector<std::string>& page_columns() {
    static const std::vector<std::string> columns = {
        "record",       "network",        "station",      "sensor",         "epicentral_distance",
        "hypocentral_distance", "pga_rotd50", "pgv_rotd50", "psa_0.3_rotd50", "psa_1_rotd50",
        "psa_3_rotd50", "jma_class",      "status"};
    return columns;
}

std::string html_escaped(const std::string& text) {
    std::string escaped;
    for (const char c : text) {
        switch (c) {
            case '&': escaped += "&amp;"; break;
            case '<': escaped += "&lt;"; break;
            case '>': escaped += "&gt;"; break;
            case '"': escaped += "&quot;"; break;
            case '\'': escaped += "&#39;"; break;
            default: escaped += c;
        }
    }
    return escaped;
}

std::string url_of(const std::string& path) {
    std::string url;
    for (const char c : path) {
        const unsigned char byte = static_cast<unsigned char>(c);
        if (std::isalnum(byte) || c == '-' || c == '_' || c == '.' || c == '~' || c == '/') {
            url += c;
        } else {
            char code[4];
            std::snprintf(code, sizeof code, "%%%02X", byte);
            url += code;
        }
    }
    return url;
}

std::string report_page(const Flatfile& flatfile, const std::vector<std::string>& event_figures,
                        const std::vector<PageRecord>& records) {
    std::size_t ok = 0;
    for (std::size_t row = 0; row < flatfile.rows.size(); ++row) ok += flatfile.ok(row);
    const std::size_t not_ok = flatfile.rows.size() - ok;
    const auto event = [&](const char* name) { return flatfile.rows.empty() ? std::string() : flatfile.field(0, name); };
    const std::string id = event("event_id").empty() ? "unknown event" : event("event_id");
    std::string page = "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n<title>Event " +
                       html_escaped(id) + "</title>\n" + style + "</head>\n<body>\n";
    page += "<h1>Event " + html_escaped(id) + "</h1>\n<p>Origin " + html_escaped(event("origin_time")) + ", " +
            html_escaped(event("event_latitude")) + "&deg;N " + html_escaped(event("event_longitude")) + "&deg;E, depth " +
            html_escaped(event("event_depth")) + " km, magnitude " + html_escaped(event("magnitude")) +
            (event("magnitude_type").empty() ? "" : " " + html_escaped(event("magnitude_type"))) + ". <span id=\"counts\">" + std::to_string(ok) + " records ok, " +
            std::to_string(not_ok) + " not ok</span>. Written by smwave-plot " + std::string(companion::version()) +
            " from <a href=\"flatfile.csv\">flatfile.csv</a> (<a href=\"flatfile-columns.csv\">its columns</a>).</p>\n";
    page += "<h2>Event figures</h2>\n<div class=\"figures\">\n";
    for (const std::string& figure : event_figures) page += figure_link(figure, figure) + "\n";
    page += "</div>\n<h2>Records</h2>\n<p>Click a column's header to sort by it.</p>\n";
    page += "<div class=\"wide\">\n<table class=\"sortable\" id=\"flatfile\">\n<thead><tr>";
    for (const std::string& column : page_columns()) page += "<th>" + html_escaped(column) + "</th>";
    page += "</tr></thead>\n<tbody>\n";
    for (std::size_t row = 0; row < flatfile.rows.size(); ++row) {
        page += "<tr>";
        for (const std::string& column : page_columns()) {
            const std::string value = flatfile.field(row, column);
            if (column == "record") {
                page += "<td class=\"text\"><a href=\"#" + url_of("record-" + value) + "\">" + html_escaped(value) + "</a></td>";
            } else {
                page += cell(value, flatfile.number(row, column));
            }
        }
        page += "</tr>\n";
    }
    page += "</tbody>\n</table>\n</div>\n";
    page += "<h2>Records not ok</h2>\n";
    if (not_ok == 0) {
        page += "<p>None.</p>\n";
    } else {
        page += "<ul id=\"failed\">\n";
        for (std::size_t row = 0; row < flatfile.rows.size(); ++row) {
            if (flatfile.ok(row)) continue;
            page += "<li><b>" + html_escaped(flatfile.field(row, "record")) + "</b>: " +
                    html_escaped(flatfile.field(row, "status")) + ", " + html_escaped(flatfile.field(row, "reason")) +
                    " &mdash; " + html_escaped(flatfile.field(row, "message")) + "</li>\n";
        }
        page += "</ul>\n";
    }
    page += "<h2>Each record</h2>\n";
    for (const PageRecord& record : records) {
        page += "<section id=\"" + html_escaped("record-" + record.name) + "\">\n<h3>" + html_escaped(record.name) +
                "</h3>\n<div class=\"figures\">\n";
        for (const std::string& figure : record.figures) page += figure_link(figure, record.name + " " + figure) + "\n";
        page += "</div>\n<p>Files:";
        for (const std::string& file : record.files) {
            page += " <a href=\"" + url_of(file) + "\">" + html_escaped(file.substr(file.rfind('/') + 1)) + "</a>";
        }
        page += "</p>\n</section>\n";
    }
    page += sort_script;
    page += "</body>\n</html>\n";
    return page;
}

}  // namespace smwave::plot
