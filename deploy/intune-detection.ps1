# Detection script of an Intune remediation for VeltrinLighting. Exit 0
# when the machine needs nothing; exit 1, which starts the remediation
# script, otherwise. It prints one line, which Intune shows as the
# detection output: "healthy", the problems that "status --json" lists,
# programMissing or statusUnreadable.
#
# Intune runs it as SYSTEM, in 32-bit PowerShell unless the script package
# sets "Run script in 64-bit PowerShell". There $env:ProgramFiles is
# C:\Program Files (x86); $env:ProgramW6432 is the 64-bit Program Files the
# package installs to, from either PowerShell. Installed with another
# INSTALLFOLDER, put that folder in $program.
$program = Join-Path $env:ProgramW6432 'VeltrinLighting\VeltrinLighting.exe'

# Intune keeps 2,048 characters of the output: the line is cut to that.
function Report([string] $line, [int] $exitCode) {
    if ($line.Length -gt 2048) { $line = $line.Substring(0, 2048) }
    Write-Output $line
    exit $exitCode
}

if (-not (Test-Path -LiteralPath $program -PathType Leaf)) {
    Report "programMissing: $program" 1
}
# A program that cannot be started, prints nothing or prints something that
# is not the JSON of status (format 1) leaves $status empty: not healthy.
$output = ''
$status = $null
try {
    $output = (& $program status --json 2>$null | Out-String).Trim()
    $status = $output | ConvertFrom-Json -ErrorAction Stop
} catch {
    $status = $null
}
if ($null -eq $status -or $status.formatVersion -ne 1 -or $status.problems -isnot [array]) {
    Report "statusUnreadable: $($output -replace '\s+', ' ')" 1
}
if ($status.problems.Count -eq 0) {
    Report 'healthy' 0
}
Report ($status.problems -join ' ') 1
