# The configuration of both builds' overlap tests (sourced), each job due every minute: a pump with
# overlap=skip, a pump with maxruntime=1 and a task with overlap=wait.
overlap_ini() {  # line end, skipping pump's program, its source, hanging pump's program, its source, task's program, its name
  printf "%s$1" "[program]" "overlap=skip" "[pumps]" "count=2" \
    "[pump_1]" "launchperiod=1" "phase=0" "intervallength=1" "exename=$2" "source=$3" "target=T" "tagfile=t.txt" \
    "[pump_2]" "launchperiod=1" "phase=0" "intervallength=1" "exename=$4" "source=$5" "target=T" "tagfile=t.txt" \
    "maxruntime=1" "[tasks]" "count=1" "[task_1]" "launchperiod=1" "phase=0" "intervallength=1" "exename=$6" \
    "taskname=$7" "overlap=wait" >"$work/tavrorun.ini"
}
