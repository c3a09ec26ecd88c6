# The embedded default database: a sample KORVA 8 base made by the build's
# korva8-sample tool, behind a folder-local ODBC data source "DB_KORVA8".
# Sourced by demo.sh and screenshots.sh; the user's own ODBC configuration is
# not touched (ODBCINI points at the folder's odbc.ini).

# StepAPI=1: the SQLite driver hands a selection over row by row instead of
# holding the whole result in memory beside the program's own copy.
# sample_source BUILD FOLDER: writes FOLDER/korva8.db and FOLDER/odbc.ini, exports ODBCINI.
sample_source() {
    local build=$1 folder=$2
    "$build/korva8-sample" "$folder/korva8.db" >/dev/null
    cat > "$folder/odbc.ini" <<INI
[DB_KORVA8]
Driver=SQLite3
Database=$folder/korva8.db
Timeout=5000
NoCreat=1
StepAPI=1
INI
    export ODBCINI="$folder/odbc.ini"
}
