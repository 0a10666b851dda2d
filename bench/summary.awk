# Summarises the samples that bench/run.sh writes (round, series,
# microseconds; tab-separated, with a header line): a table of every series,
# the program-to-reference ratios, and where the time of a colour request goes.

function sort_numbers(values, count,    i, j, held) {
    # Insertion sort: a few hundred samples per series.
    for (i = 2; i <= count; ++i) {
        held = values[i]
        for (j = i - 1; j >= 1 && values[j] > held; --j) {
            values[j + 1] = values[j]
        }
        values[j + 1] = held
    }
}

function median(values, count) {
    sort_numbers(values, count)
    return count % 2 ? values[(count + 1) / 2] : (values[count / 2] + values[count / 2 + 1]) / 2
}

function series_median(name,    copy, i) {
    for (i = 1; i <= count[name]; ++i) {
        copy[i] = sample[name, i]
    }
    return median(copy, count[name])
}

function series_mean(name) {
    return total[name] / count[name]
}

function series_sd(name,    i, mean, squares) {
    mean = series_mean(name)
    for (i = 1; i <= count[name]; ++i) {
        squares += (sample[name, i] - mean) ^ 2
    }
    return count[name] > 1 ? sqrt(squares / (count[name] - 1)) : 0
}

# Median over the rounds of program / reference within one round: both ran
# within a second of each other, so slow drift of the machine cancels.
function paired_median_ratio(program, reference,    ratios, n, r) {
    n = 0
    for (r in rounds) {
        if ((program, r) in by_round && (reference, r) in by_round) {
            ratios[++n] = by_round[program, r] / by_round[reference, r]
        }
    }
    return median(ratios, n)
}

function compare(label, program, reference, target) {
    printf "  %-34s %-18s %7.1f %7.1f   %5.3f    %5.3f    %5.3f%s\n", label, reference,
        series_mean(program) / 1000, series_median(program) / 1000,
        series_mean(program) / series_mean(reference), series_median(program) / series_median(reference),
        paired_median_ratio(program, reference), target
}

NR == 1 { next }
{
    name = $2
    if (!(name in count)) {
        order[++names] = name
    }
    sample[name, ++count[name]] = $3
    total[name] += $3
    by_round[name, $1] = $3
    rounds[$1] = 1
}

END {
    printf "  %-18s %5s %8s %8s %8s %8s\n", "series", "runs", "mean", "median", "sd", "min"
    for (i = 1; i <= names; ++i) {
        name = order[i]
        copy_min = ""
        for (j = 1; j <= count[name]; ++j) {
            if (copy_min == "" || sample[name, j] < copy_min) copy_min = sample[name, j]
        }
        printf "  %-18s %5d %8.1f %8.1f %8.1f %8.1f\n", name, count[name], series_mean(name) / 1000,
            series_median(name) / 1000, series_sd(name) / 1000, copy_min / 1000
    }

    print ""
    print "Program against reference (ratio of means, of medians, and median of the per-round ratios):"
    printf "  %-34s %-18s %7s %7s   %-8s %-8s %-8s\n", "program run", "reference", "mean", "median",
        "means", "medians", "paired"
    compare("255 0 0 100 (colour request)", "program_colour", "reference_colour", "   target <= 1.10")
    compare("no arguments (restore)", "program_restore", "reference_restore", "")
    compare("no arguments (restore)", "program_restore", "reference_colour", "")
    compare("help", "program_help", "reference_model", "")
    compare("help", "program_help", "reference_colour", "")

    print ""
    print "Where the time of a colour request goes (differences of medians, milliseconds):"
    empty_ms = series_median("empty") / 1000
    nothing_ms = series_median("reference_nothing") / 1000
    program_nothing_ms = series_median("program_nothing") / 1000
    model_ms = series_median("reference_model") / 1000
    colour_ms = series_median("reference_colour") / 1000
    program_ms = series_median("program_colour") / 1000
    printf "  %7.1f  Wine starts and ends a process that does nothing (empty)\n", empty_ms
    printf "  %7.1f  + loading the DLLs the reference imports, C runtime (reference_nothing - empty)\n", nothing_ms - empty_ms
    printf "  %7.1f  + COM start-up, WMI locator, model query (reference_model - reference_nothing)\n", model_ms - nothing_ms
    printf "  %7.1f  + firmware call and registry write (reference_colour - reference_model)\n", colour_ms - model_ms
    printf "  %7.1f  = the reference's colour request\n", colour_ms
    printf "  %7.1f  + the program's extra (program_colour - reference_colour), of which\n", program_ms - colour_ms
    printf "  %7.1f      starting and ending the program's larger executable (program_nothing - reference_nothing)\n", program_nothing_ms - nothing_ms
    printf "  %7.1f  = the program's colour request\n", program_ms
}
