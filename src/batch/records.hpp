#pragma once
// The records of a batch: which tables, in which order, under which names.
//
// Tables come from the command line in its order; a folder gives its regular files in name order
// (files whose names start with a dot are left out). Each record's name is its table's file name
// without the extension; a name met again gets "-2", "-3", ... in input order, so every record has a
// folder of its own and the same arguments always give the same names.
#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

#include "companion/problem.hpp"
#include "jobs/shard.hpp"

namespace smwave::batch {

struct Record {
    std::size_t index = 0;  // its place in input order, from 0
    std::string name;       // its folder's name under the batch folder
    std::filesystem::path table;
};

// Lists the records of the arguments; a Problem for an argument that is missing, is neither a regular
// file nor a folder, or is a folder without tables, and when there are no tables at all.
companion::Result<std::vector<Record>> list_records(const std::vector<std::string>& arguments);

using jobs::parse_shard;
using jobs::Shard;

// The records of `shard`, in input order.
std::vector<Record> select_shard(const std::vector<Record>& records, Shard shard);

}  // namespace smwave::batch
