#include "run/table.hpp"

#include <algorithm>
#include <cmath>
#include <string_view>

#include "textio/reads.hpp"
#include "textio/records.hpp"
#include "textio/units.hpp"

namespace smwave {

namespace {

constexpr int table_unit = 11;
constexpr int echo_unit = 99;

// Reads one row into `time` and `values[1..42]`. False when the end of the file was met; what the
// row stored before it stays stored.
bool read_row(double& time, double* values) {
    if (begin_free_read(table_unit, true) < 0) return false;
    if (read_double(time) < 0) return false;
    if (read_doubles({values + 1, row_values - 1}) < 0) return false;
    return end_free_read() >= 0;
}

void echo_row(double time, double comp1, double comp2, double comp3) {
    start_free_record(echo_unit);
    put_double(time);
    put_double(comp1);
    put_double(comp2);
    put_double(comp3);
    end_free_record();
}

}  // namespace

void read_table(RunState& run) {
    open_unit(table_unit, std::string_view(run.input_name, text_field_length));

    begin_free_read(table_unit, false);
    read_text(run.head1);
    read_text(run.head2);
    read_text(run.head3);
    read_text(run.head4);
    end_free_read();

    begin_free_read(table_unit, false);
    end_free_read();

    // Each row starts with every channel at 0, so that an empty field or a slash leaves 0. Times of
    // rows beyond the storage go to a spare, so that such rows are counted and echoed all the same.
    std::int32_t i = 1;
    for (;; ++i) {
        double spare_time = 0.0;
        const bool stored = i <= capacity;
        double& time = stored ? run.time[i] : spare_time;
        std::fill(std::begin(run.yy), std::end(run.yy), 0.0);
        if (!read_row(time, run.yy)) break;
        if (stored) {
            run.xr1[i] = run.yy[column_comp1];
            run.xr2[i] = run.yy[column_comp2];
            run.xr3[i] = run.yy[column_comp3];
        }
        echo_row(time, run.yy[column_comp1], run.yy[column_comp2], run.yy[column_comp3]);
    }
    close_unit(table_unit);

    run.nt = i - 1;
    run.dt = run.time[2] - run.time[1];
}

std::optional<SamplePlace> first_non_finite_sample(const RunState& run) {
    const std::int32_t stored = std::min(run.nt, capacity);
    for (std::int32_t i = 1; i <= stored; ++i) {
        if (!std::isfinite(run.xr1[i])) return SamplePlace{i, column_comp1};
        if (!std::isfinite(run.xr2[i])) return SamplePlace{i, column_comp2};
        if (!std::isfinite(run.xr3[i])) return SamplePlace{i, column_comp3};
    }
    return std::nullopt;
}

}  // namespace smwave
