# Summarises the step timings a benchmark program writes with its phases on
# ("step  1.234 ms" lines, one set per run): the median of each step over the
# runs, in the order the steps first appear, and the sum of those medians.
# Medians, because a run that other work on the machine held up says nothing
# about the step.

function median(values, count,    i, j, held) {
    for (i = 2; i <= count; ++i) {
        held = values[i]
        for (j = i - 1; j >= 1 && values[j] > held; --j) {
            values[j + 1] = values[j]
        }
        values[j + 1] = held
    }
    return count % 2 ? values[(count + 1) / 2] : (values[count / 2] + values[count / 2 + 1]) / 2
}

{
    sub(/\r$/, "")
    ms = $(NF - 1)
    name = $0
    sub(/ +[0-9.]+ ms$/, "", name)
    if (!(name in runs)) {
        order[++steps] = name
    }
    sample[name, ++runs[name]] = ms
}

END {
    for (i = 1; i <= steps; ++i) {
        name = order[i]
        for (j = 1; j <= runs[name]; ++j) {
            copy[j] = sample[name, j]
        }
        value = median(copy, runs[name])
        total += value
        printf "  %-20s %7.2f ms\n", name, value
    }
    printf "  %-20s %7.2f ms\n", "sum of the medians", total
}
