# Configurations of a given size for the benchmarks (sourced by scripts/bench).

# quiet_ini FILE JOBS: JOBS jobs (four tenths pumps, a tenth batches, four tenths tasks, a tenth
# reports) of which none falls due between 00:00:10 and 23:59 of a day: daily pumps and tasks at
# midnight, daily batches at midnight, reports at 03:00 of the first of January only.
quiet_ini() {
  awk -v jobs="$2" 'BEGIN {
    pumps = int(jobs * 4 / 10); batches = int(jobs / 10); tasks = int(jobs * 4 / 10); reports = jobs - pumps - batches - tasks
    print "[program]\nmod=kord\ndebug=0"
    printf "[pumps]\ncount=%d\n", pumps
    for (i = 1; i <= pumps; i++)
      printf "[pump_%d]\nlaunchperiod=1440\nphase=0\nintervallength=60\naverages=1\nrecalculate=0\nexename=/opt/tavro/jobs/pump%d\nsource=PlantHistorian%d\ntarget=Warehouse%d\ntagfile=/opt/tavro/tags/pump%d.txt\n", i, i, i, i, i
    printf "[batches]\ncount=%d\n", batches
    for (i = 1; i <= batches; i++)
      printf "[batch_%d]\ntype=0\nday=1\nphase=0\nmargins=1\nintervallength=60\nexename=/opt/tavro/jobs/batch%d\ntaskname=Balance of unit %d\nexporttohistory=1\nexporttoexternal=0\n", i, i, i
    printf "[tasks]\ncount=%d\n", tasks
    for (i = 1; i <= tasks; i++)
      printf "[task_%d]\nlaunchperiod=1440\nphase=0\nintervallength=60\nexename=/opt/tavro/jobs/task%d\ntaskname=Efficiency of unit %d\nrunningtag=UNIT%d.RUNNING\nkordden=0\n", i, i, i, i
    printf "[reports]\ncount=%d\nexename=/opt/tavro/jobs/report\n", reports
    for (i = 1; i <= reports; i++)
      printf "[report_%d]\nminute=0\nhour=3\nday=1\nmonth=1\ndayofweek=*\ntemplate=report%d\nlength=8\n", i, i
  }' >"$1"
}

# busy_ini FILE JOBS: JOBS jobs launching all day (quarter-hour and hourly pumps and tasks, daily,
# weekly and monthly batches, reports at every hour), for the preview of a year.
busy_ini() {
  awk -v jobs="$2" 'BEGIN {
    pumps = int(jobs / 4); batches = int(jobs / 10); tasks = int(jobs / 2); reports = jobs - pumps - batches - tasks
    print "[program]\nmod=kord"
    printf "[pumps]\ncount=%d\n", pumps
    for (i = 1; i <= pumps; i++)
      printf "[pump_%d]\nlaunchperiod=%d\nphase=%d\nexename=/opt/tavro/pump\nsource=S%d\ntarget=T%d\ntagfile=tags%d.txt\n", i, 15 * (i % 4 + 1), i % 10, i, i, i
    printf "[batches]\ncount=%d\n", batches
    for (i = 1; i <= batches; i++)
      printf "[batch_%d]\ntype=%d\nday=%d\nphase=%d\nexename=/opt/tavro/batch\ntaskname=Batch %d\n", i, i % 3, i % 7 + 1, 10 * (i % 60), i
    printf "[tasks]\ncount=%d\n", tasks
    for (i = 1; i <= tasks; i++)
      printf "[task_%d]\nlaunchperiod=%d\nphase=%d\nintervallength=15\nexename=/opt/tavro/task\ntaskname=Task %d\nrunningtag=TAG%d\n", i, (i % 2 == 0 ? 15 : 120), i % 15, i, i
    printf "[reports]\ncount=%d\nexename=/opt/tavro/report\n", reports
    for (i = 1; i <= reports; i++)
      printf "[report_%d]\nhour=%d\nminute=%d\ntemplate=rep%d\n", i, i % 24, 3 * i % 60, i
  }' >"$1"
}

# launch_ini FILE JOBS: JOBS pumps of /bin/true, each due every minute, for the cost of a launch.
launch_ini() {
  awk -v jobs="$2" 'BEGIN {
    print "[program]\nmod=kord"
    printf "[pumps]\ncount=%d\n", jobs
    for (i = 1; i <= jobs; i++)
      printf "[pump_%d]\nlaunchperiod=1\nphase=0\nintervallength=1\nexename=/bin/true\nsource=PlantHistorian%d\ntarget=Warehouse%d\ntagfile=/opt/tavro/tags/pump%d.txt\n", i, i, i, i
  }' >"$1"
}
