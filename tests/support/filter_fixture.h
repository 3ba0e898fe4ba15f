// Gives each test an empty filter table and enabled list, as at process start.
#pragma once

#include <cstring>

#include <gtest/gtest.h>

#include "filter/filter_table.h"

class EmptyFilterTable : public ::testing::Test {
public:
    static void ClearFilters()
    {
        std::memset(&filterTable, 0, sizeof filterTable);
        std::memset(&enabledList, 0, sizeof enabledList);
    }

    // The four built-in filters alone, none enabled.
    static void ResetToBuiltins()
    {
        ClearFilters();
        RegisterBuiltinFilters();
    }

protected:
    void SetUp() override { ClearFilters(); }
    void TearDown() override { ClearFilters(); }
};
