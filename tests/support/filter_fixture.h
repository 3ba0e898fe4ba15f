// Gives each test an empty filter table and enabled list, as at process start.
#pragma once

#include <cstring>

#include <gtest/gtest.h>

#include "filter/filter_table.h"

class EmptyFilterTable : public ::testing::Test {
protected:
    void SetUp() override { ClearFilters(); }
    void TearDown() override { ClearFilters(); }

    static void ClearFilters()
    {
        std::memset(&filterTable, 0, sizeof filterTable);
        std::memset(&enabledList, 0, sizeof enabledList);
    }
};
