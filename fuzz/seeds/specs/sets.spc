   this line is not a Begin line
SKIP this set
   Iterations 5
END
Begin second set
   Scale no
   Crash option 0
   Unknown keyword here
   Completion maybe
   IPARM 31 5
   Rparm 0 1
   Iterations 1E9
   MIN
End
ENDRUN
