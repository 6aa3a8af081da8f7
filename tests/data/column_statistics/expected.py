#!/usr/bin/env python3
"""Prints the expected statistics of the value sets that
tests/core/ColumnStatisticsTest.cpp checks, computed with Python's own
statistics module (sample standard deviation, geometric mean through logs)."""
import math
import statistics

SETS = {
    "mixed": [3.5, 1.0, 7.0, 7.0, 2.25, 10.0, 4.0],
    "wide": [1e6, 2.5e6, 3.75e6, 0.125, 42.0],
}

for name, values in SETS.items():
    print(name)
    print("  min    %.6f x%d" % (min(values), values.count(min(values))))
    print("  max    %.6f x%d" % (max(values), values.count(max(values))))
    print("  sum    %.6f" % math.fsum(values))
    print("  mean   %.6f" % statistics.mean(values))
    print("  gmean  %.6f" % statistics.geometric_mean(values))
    print("  median %.6f" % statistics.median(values))
    print("  stdev  %.6f" % statistics.stdev(values))
